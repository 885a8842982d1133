#!/bin/sh
# Signed updates: the time the check of a signed manifest adds to reading it (target: under 5 ms),
# and the staged, all-or-nothing replace of a 20 MB client against a plain move, medians of one
# run each under the same Wine.
# Usage: tools/bench/update_bench.sh   (after tools/build; display and prefix as tools/bench/env.sh
# sets them up)
set -eu
REPO=$(cd "$(dirname "$0")/../.." && pwd)
BENCH="$REPO/build/win/bench/update-bench.exe"
[ -f "$BENCH" ] || { echo "no $BENCH: run tools/build first" >&2; exit 1; }

. "$REPO/tools/bench/env.sh"
bench_work
bench_setup

# A manifest as the portal publishes one: a version line and two hashed file lines, signed.
mkdir "$work/files"
head -c 300000 /dev/urandom >"$work/files/Corvane.exe"
head -c 20000 /dev/urandom >"$work/files/demo.bin"
printf 'version=1.2.0\r\ndemo.bin|http://127.0.0.1/files/demo.bin\r\nCorvane.exe|http://127.0.0.1/files/Corvane.exe\r\n' |
    "$REPO/tools/sign-manifest" sign "$REPO/tools/signing/demo-update-key.DEMO-ONLY.pem" - "$work/update.txt" \
        --files "$work/files"
mkdir "$work/install"
"$REPO/tools/wine-exec" "$BENCH" "$(winepath -w "$work/update.txt" 2>/dev/null)" \
    "$(winepath -w "$work/install" 2>/dev/null)" 20 9 2>&1 | tr -d '\r'
