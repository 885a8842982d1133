#!/bin/sh
# CKvDownLoadFile against the platform's own read loop and against curl: a 200 MB file from the
# demo portal over loopback, fetched by all three in the same run (median of 3 each, all writing
# to disk). The read loop is InternetReadFile in blocks of the downloader's 8 KiB with nothing
# else: what WinINet allows at that block size. Reports the throughput ratios (downloader / read
# loop, target at least 0.8; downloader / curl) and the longest gap between two window messages
# processed during the transfers (target at most 50 ms; the wait for the response, in which the
# demo portal reads the whole file, is reported apart), next to the longest gap of a plain
# message loop over the same time: what the machine's scheduling alone costs.
# Usage: tools/bench/download_bench.sh [windows-build-dir]   (after tools/build; display and prefix
# as tools/bench/env.sh sets them up)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$REPO/build/win}
BENCH="$BUILD/bench/download-bench.exe"
[ -f "$BENCH" ] || { echo "no $BENCH: run tools/build first" >&2; exit 1; }
RUNS=3
SIZE_MB=200

. "$REPO/tools/bench/env.sh"
bench_work
bench_setup

mkdir "$work/files"
head -c "$((SIZE_MB * 1024 * 1024))" /dev/urandom >"$work/files/big.bin"
bench_portal --files "$work/files"
URL="$PORTAL/files/big.bin"

curl_s=$(for _ in $(seq $RUNS); do curl -s -o "$work/curl.bin" -w '%{time_total}\n' "$URL"; done |
    sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
rm -f "$work/curl.bin"
out_file=$(winepath -w "$work/bench.bin" 2>/dev/null)
out=$("$REPO/tools/wine-exec" "$BENCH" "$URL" "$out_file" $RUNS 2>&1 | tr -d '\r')
echo "downloader: $out"
bench_s=$(echo "$out" | sed -n 's/.*median_seconds=\([0-9.]*\).*/\1/p')
gap=$(echo "$out" | sed -n 's/.* longest_gap_ms=\([0-9.]*\).*/\1/p')
p99=$(echo "$out" | sed -n 's/.* p99_gap_ms=\([0-9.]*\).*/\1/p')
open_ms=$(echo "$out" | sed -n 's/.*longest_open_ms=\([0-9.]*\).*/\1/p')
idle=$(echo "$out" | sed -n 's/.*idle_longest_gap_ms=\([0-9.]*\).*/\1/p')
[ -n "$bench_s" ] || { echo "the downloader did not finish" >&2; exit 1; }
awk -v s="$curl_s" -v mb="$SIZE_MB" 'BEGIN { printf "curl: median %.3f s, %.1f MB/s\n", s, mb * 1.048576 / s }'
bare_s=$(echo "$out" | sed -n 's/.*bare_loop_median_seconds=\([0-9.]*\).*/\1/p')
awk -v s="$bare_s" -v mb="$SIZE_MB" 'BEGIN { printf "read loop (InternetReadFile, 8 KiB): median %.3f s, %.1f MB/s\n", s, mb * 1.048576 / s }'
awk -v a="$bench_s" -v b="$bare_s" 'BEGIN { printf "throughput ratio (downloader / read loop): %.2f (target >= 0.8)\n", b / a }'
awk -v a="$bench_s" -v b="$curl_s" 'BEGIN { printf "throughput ratio (downloader / curl): %.2f\n", b / a }'
echo "longest gap between processed window messages while transferring: ${gap} ms (target <= 50), 99th percentile ${p99} ms"
echo "longest wait for the response before the transfer (server's time to first byte included): ${open_ms} ms"
echo "longest gap of a plain message loop over the same time, no download: ${idle} ms"
