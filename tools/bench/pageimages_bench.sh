#!/bin/sh
# The built-in web view on the demo login page with 20 pictures half a second late each: time to
# the first paint and to every picture in, against the same page without pictures (ratios).
# Usage: tools/bench/pageimages_bench.sh [windows-build-dir]   (after tools/build; starts Xvfb
# when there is no display, uses WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
. "$REPO/tools/bench/env.sh"
BENCH="${1:-$REPO/build/win}/bench/pageimages-bench.exe"
[ -f "$BENCH" ] || die "no $BENCH: run tools/build first"
bench_setup
bench_portal
"$REPO/tools/wine-exec" "$BENCH" "$PORTAL" 5 500 2>/dev/null | tr -d '\r'
