#!/bin/sh
# GDI and USER object counts of the skinned controls across 1000 create/destroy cycles each, and
# their time per cycle against a plain system button in the same run.
# Usage: tools/bench/controls_bench.sh [windows-build-dir] [cycles]   (after tools/build; starts
# Xvfb when there is no display, uses WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
. "$REPO/tools/bench/env.sh"
BENCH="${1:-$REPO/build/win}/bench/controls-bench.exe"
[ -f "$BENCH" ] || die "no $BENCH: run tools/build first"
bench_setup
"$REPO/tools/wine-exec" "$BENCH" "${2:-1000}" 2>/dev/null | tr -d '\r'
