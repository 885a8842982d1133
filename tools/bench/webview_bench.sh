#!/bin/sh
# The built-in web view against curl on the demo login page: median load-to-complete time of 20
# loads (ratio engine / curl) and the engine's memory after them next to curl's peak.
# Usage: tools/bench/webview_bench.sh [windows-build-dir]   (after the Windows build; needs a
# display or starts Xvfb, a Wine prefix in WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$REPO/build/win}
BENCH="$BUILD/bench/webview-bench.exe"
[ -f "$BENCH" ] || { echo "no $BENCH: build the Windows tree first" >&2; exit 1; }
LOADS=20
work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "${portal:-}" ] && kill "$portal" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
python3 "$REPO/tools/demo_portal/portal.py" --port 0 --port-file "$work/port" >/dev/null 2>&1 </dev/null &
portal=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
URL="http://127.0.0.1:$(cat "$work/port")/pcLogin/"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    Xvfb :79 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:79
    sleep 1
fi
export WINEPREFIX="${WINEPREFIX:-$REPO/build/wineprefix-bench}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then cp -a "$REPO/build/wine-template" "$WINEPREFIX"; fi

# curl: the same page, 20 times, each a whole fetch.
curl_ms=$(for _ in $(seq $LOADS); do curl -s -o /dev/null -w '%{time_total}\n' "$URL"; done |
    sort -n | awk '{a[NR]=$1} END {printf "%.2f", a[int(NR/2)+1]*1000}')
curl_kb=$( (command -v /usr/bin/time >/dev/null && /usr/bin/time -f %M curl -s -o /dev/null "$URL" 2>&1) || echo "?")

out=$("$REPO/tools/wine-exec" "$BENCH" "$URL" $LOADS 2>/dev/null | tr -d '\r')
echo "$out"
lite_ms=$(echo "$out" | sed -n 's/.*median=\([0-9.]*\).*/\1/p')
lite_kb=$(echo "$out" | sed -n 's/.*after-loads=\([0-9]*\).*/\1/p')
echo "curl: median ${curl_ms} ms, peak RSS ${curl_kb} KiB"
awk -v a="$lite_ms" -v b="$curl_ms" 'BEGIN { if (b > 0) printf "load-to-complete ratio (engine / curl): %.2f\n", a / b }'
echo "engine committed memory after $LOADS loads: ${lite_kb} KiB (curl peak RSS ${curl_kb} KiB)"
