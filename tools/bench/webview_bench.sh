#!/bin/sh
# The built-in web view on the demo login page: median load-to-complete time of 20 loads against
# a bare WinINet fetch of the same page (and curl), where a load's time goes, the longest the
# window goes without handling a message while a slow page (1 s before its answer) loads, and
# the engine's memory after the loads.
# Usage: tools/bench/webview_bench.sh [windows-build-dir]   (after tools/build; starts Xvfb when
# there is no display, uses WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
. "$REPO/tools/bench/env.sh"
BENCH="${1:-$REPO/build/win}/bench/webview-bench.exe"
[ -f "$BENCH" ] || die "no $BENCH: run tools/build first"
LOADS=20
bench_setup
bench_portal --slow /error-short --slow-delay 1
BASE=$PORTAL

# curl: the same page, 20 times, each a whole fetch.
curl_ms=$(for _ in $(seq $LOADS); do curl -s -o /dev/null -w '%{time_total}\n' "$BASE/pcLogin/"; done |
    sort -n | awk '{a[NR]=$1} END {printf "%.2f", a[int(NR/2)+1]*1000}')
curl_kb=$( (command -v /usr/bin/time >/dev/null && /usr/bin/time -f %M curl -s -o /dev/null "$BASE/pcLogin/" 2>&1) || echo "?")

"$REPO/tools/wine-exec" "$BENCH" "$BASE/pcLogin/" "$BASE/error-short" $LOADS 2>/dev/null | tr -d '\r'
echo "curl: median ${curl_ms} ms, peak RSS ${curl_kb} KiB"
