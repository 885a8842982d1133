#!/bin/sh
# GDI and USER object counts of the skinned controls across 1000 create/destroy cycles each, and
# their time per cycle against a plain system button in the same run.
# Usage: tools/bench/controls_bench.sh [windows-build-dir] [cycles]   (after the Windows build;
# needs a display or starts Xvfb, a Wine prefix in WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$REPO/build/win}
CYCLES=${2:-1000}
BENCH="$BUILD/bench/controls-bench.exe"
[ -f "$BENCH" ] || { echo "no $BENCH: build the Windows tree first" >&2; exit 1; }
xvfb=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; true; }
trap cleanup EXIT INT TERM
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    Xvfb :78 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:78
    sleep 1
fi
export LANG=zh_CN.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$REPO/build/wineprefix-bench}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then cp -a "$REPO/build/wine-template" "$WINEPREFIX"; fi
"$REPO/tools/wine-exec" "$BENCH" "$CYCLES" 2>/dev/null | tr -d '\r'
