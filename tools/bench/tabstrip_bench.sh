#!/bin/sh
# Paint time per frame of the tab strip with 1, 10 and 50 tabs (against one plain copy to the
# window), and the GDI objects left behind by 1000 add/remove cycles.
# Usage: tools/bench/tabstrip_bench.sh [windows-build-dir] [cycles]
# Runs on the caller's display and Wine prefix (DISPLAY and WINEPREFIX set, as for the tests).
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BENCH="${1:-$REPO/build/win}/bench/tabstrip-bench.exe"
[ -f "$BENCH" ] || { echo "no $BENCH: build the Windows tree first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ] || { echo "set DISPLAY and WINEPREFIX first" >&2; exit 1; }
export LANG=zh_CN.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" WINEARCH=win32
"$REPO/tools/wine-exec" "$BENCH" "${2:-1000}" 2>/dev/null | tr -d '\r'
