#!/bin/sh
# Start-up of Corvane.exe against the demo portal: time from process start to the splash visible
# and to the login pair visible, medians over warm runs, each as a ratio to the time a minimal
# Win32 window takes to become visible under the same Wine in the same run (the floor), and what
# the time before Corvane's entry is made of: its system libraries (a minimal window importing the
# same ones, and each loaded in turn) and its own image, runtime start and static constructors.
# With an earlier build's Corvane.exe as well, both are measured in the same run (before and
# after), each with where its start-up time went.
# Usage: tools/bench/startup_bench.sh [runs] [earlier Corvane.exe]   (after tools/build; starts its
# own display, portal, Wine prefix and Wine server)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$REPO/build/win"
BENCH="$BUILD/bench/startup-bench.exe"
MINIMAL="$BUILD/bench/minimal-window.exe"
CORVANE="$BUILD/app/Corvane.exe"
for f in "$BENCH" "$MINIMAL" "$BUILD/bench/import-peer.exe" "$BUILD/bench/load-peer.exe" "$CORVANE"; do
    [ -f "$f" ] || { echo "no $f: run tools/build first" >&2; exit 1; }
done
RUNS=${1:-15}
EARLIER=${2:-}
if [ -n "$EARLIER" ]; then
    [ -f "$EARLIER" ] || { echo "no $EARLIER" >&2; exit 1; }
    EARLIER=$(cd "$(dirname "$EARLIER")" && pwd)/$(basename "$EARLIER")
fi
work=$(mktemp -d)
xvfb=
CORVANE_REPO=$REPO
. "$REPO/tools/lib.sh"
cleanup() {
    WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
    for pid in ${PORTAL_PIDS:-}; do kill "$pid" 2>/dev/null; done
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
export WINEPREFIX="$REPO/build/wineprefix-bench"
trap cleanup EXIT INT TERM
start_demo_portal "$work" portal
wait_for_portals "$work" portal
export CORVANE_PORTAL_URL="$(portal_url "$work" portal)"
export CORVANE_UPDATE_URL="$CORVANE_PORTAL_URL/gamehome/vld/update.txt"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for n in $(seq 70 89); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb=$!
        export DISPLAY=":$n"
        break
    done
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
# The template prefix is booted once, by whichever tool needs it first.
[ -f "$WINEPREFIX/system.reg" ] || make_prefix "$WINEPREFIX"
# A running Wine server keeps every start warm, as it is on a player's machine.
wineserver -p >/dev/null 2>&1 </dev/null &
wine cmd /c exit >/dev/null 2>&1 </dev/null
w() { winepath -w "$1" 2>/dev/null; }
wine "$BENCH" "$(w "$CORVANE")" "$(w "$MINIMAL")" "$RUNS" ${EARLIER:+"$(w "$EARLIER")"} 2>/dev/null | tr -d '\r'
