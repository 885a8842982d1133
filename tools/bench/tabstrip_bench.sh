#!/bin/sh
# Paint time per frame of the tab strip with 1, 10, 50 and 64 tabs (against one plain copy to the
# window, and 50 and 64 tabs against 1), the longest unanswered message while the 64th tab is
# chosen through the chevron, and the GDI objects left behind by 1000 add/remove cycles.
# Usage: tools/bench/tabstrip_bench.sh [windows-build-dir] [cycles]   (after tools/build; starts
# Xvfb when there is no display, uses WINEPREFIX or build/wineprefix-bench)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
. "$REPO/tools/bench/env.sh"
BENCH="${1:-$REPO/build/win}/bench/tabstrip-bench.exe"
[ -f "$BENCH" ] || die "no $BENCH: run tools/build first"
bench_setup
"$REPO/tools/wine-exec" "$BENCH" "${2:-1000}" 2>/dev/null | tr -d '\r'
