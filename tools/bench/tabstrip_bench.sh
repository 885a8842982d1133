#!/bin/sh
# Paint time per frame of the tab strip with 1, 10 and 50 tabs (against one plain copy to the
# window, and 50 tabs against 1), and the GDI objects left behind by 1000 add/remove cycles.
# Usage: tools/bench/tabstrip_bench.sh [windows-build-dir] [cycles]   (after tools/build; starts
# Xvfb when there is no display, uses WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
. "$REPO/tools/bench/env.sh"
BENCH="${1:-$REPO/build/win}/bench/tabstrip-bench.exe"
[ -f "$BENCH" ] || die "no $BENCH: run tools/build first"
bench_setup
"$REPO/tools/wine-exec" "$BENCH" "${2:-1000}" 2>/dev/null | tr -d '\r'
