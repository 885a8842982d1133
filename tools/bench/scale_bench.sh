#!/bin/sh
# The display scale's costs, each against the same build at 100 % in the same run:
#   - time from start to the splash and to the login pair at 150 % (144 dpi) against 100 % (96 dpi),
#     alternating in one session, the median of each run's ratio (target: at most 1.15);
#   - memory (PSS) of the client's Wine process with the login pair shown at 150 % against 100 %
#     (target: at most 4 MiB more);
#   - the installer's size with the art drawn for every scale, and that art against the 100 % art.
# The scale is the prefix's LogPixels, which startup-bench.exe sets around each start and puts back.
# Usage: tools/bench/scale_bench.sh [runs]   (after tools/build; display, prefix and portal as
# tools/bench/env.sh sets them up)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$REPO/build/win"
BENCH="$BUILD/bench/startup-bench.exe"
CORVANE="$BUILD/app/Corvane.exe"
for f in "$BENCH" "$CORVANE"; do
    [ -f "$f" ] || { echo "no $f: run tools/build first" >&2; exit 1; }
done
RUNS=${1:-7}

. "$REPO/tools/bench/env.sh"
runner=
bench_work runner
bench_setup
bench_portal
export CORVANE_PORTAL_URL="$PORTAL"
export CORVANE_UPDATE_URL="$PORTAL/gamehome/vld/update.txt"

mkdir "$work/memory"
memory=$(winepath -w "$work/memory" 2>/dev/null)
client=$(winepath -w "$CORVANE" 2>/dev/null)

# The client's Linux process: Wine names a program's process for its executable and gives it the
# program's Windows path as its command line, and this prefix runs one client at a time; the
# clients already ended stay as zombies, whose environment cannot be read.
client_pid() {
    for pid in $(pgrep -x Corvane.exe || true); do
        { tr '\0' '\n' <"/proc/$pid/cmdline" | grep -qxF "$client"; } 2>/dev/null || continue
        { tr '\0' '\n' <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
        echo "$pid"
    done
}
pss_of() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null; }
# The page behind the login pair may still be coming in when the pair shows: a second later the
# PSS is read every 250 ms until it moves by less than 64 KiB (at most 5 s).
settled_pss() {
    sleep 1
    last=$(pss_of "$1")
    for _ in $(seq 20); do
        sleep 0.25
        now=$(pss_of "$1")
        [ -n "$now" ] && [ -n "$last" ] || break
        change=$((now - last))
        [ "${change#-}" -lt 64 ] && break
        last=$now
    done
    echo "${now:-${last:--1}}"
}

echo "== start-up to the login pair and memory with it shown, 150 % (144 dpi) against 100 % (96 dpi)"
("$REPO/tools/wine-exec" "$BENCH" --scales "$client" "$RUNS" 96 144 "$memory" \
    2>/dev/null | tr -d '\r') &
runner=$!
while kill -0 "$runner" 2>/dev/null; do
    if [ -f "$work/memory/shown" ]; then
        pids=$(client_pid)
        if [ "$(echo $pids | wc -w)" -eq 1 ]; then
            kib=$(settled_pss "$pids")
        else
            echo "the client's Linux process is not told apart (found: ${pids:-none})" >&2
            kib=-1
        fi
        rm -f "$work/memory/shown"
        echo "$kib" >"$work/memory/pss.new"
        mv "$work/memory/pss.new" "$work/memory/pss"
    fi
    sleep 0.05
done
wait "$runner" || true
runner=

echo "== installer size with the art drawn for every scale"
bytes() { for f; do [ -f "$f" ] && stat -c %s "$f"; done | awk '{s += $1} END {print s + 0}'; }
for f in "$BUILD"/package/*-setup.exe "$BUILD"/package/*-portable.zip "$CORVANE" "$BUILD/updater/Update.exe"; do
    if [ -f "$f" ]; then printf '  %-28s %10d bytes\n' "$(basename "$f")" "$(bytes "$f")"; fi
done
art=$(bytes "$REPO"/resources/*.bmp "$REPO"/resources/*.png "$REPO"/resources/*.ico "$REPO"/updater/res/*.bmp)
scaled=$(bytes "$REPO"/resources/scaled/* "$REPO"/updater/res/scaled/*)
awk -v a="$art" -v s="$scaled" 'BEGIN {
    printf "  art at 100 %% (and the icon in all its sizes) %d bytes, drawn for 125-200 %% %d bytes: %.1f times\n",
        a, s, (a > 0 ? s / a : 0) }'
