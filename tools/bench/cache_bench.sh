#!/bin/sh
# "清除缓存" on a cache of 50,000 entries: how long the window cannot process messages while the
# cleaner runs, against the same walk on the GUI thread, in one run.
# Usage: tools/bench/cache_bench.sh [entries]   (after tools/build; display and prefix as
# tools/bench/env.sh sets them up)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BENCH="$REPO/build/win/bench/cache-bench.exe"
[ -f "$BENCH" ] || { echo "no $BENCH: run tools/build first" >&2; exit 1; }
. "$REPO/tools/bench/env.sh"
bench_setup
"$REPO/tools/wine-exec" "$BENCH" "${1:-50000}" 2>&1 | tr -d '\r'
