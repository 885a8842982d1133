#!/bin/sh
# Runs an update test program with demo portals of its own, all serving the files of one work
# directory: the main portal (manifest <work>/update.txt served as it is, request log), the signing
# one (<work>/update-source.txt served signed, with its hostile variants), three that cut
# /files/Corvane.exe and /files/cut.bin short at 0 %, 50 % and 99 %, a slow one and a late one
# (/files/Corvane.exe answered only after 30 s). The program finds them through CORVANE_TEST_WORK,
# CORVANE_TEST_PORTAL[_SIGN|_CUT0|_CUT50|_CUT99|_SLOW|_LATE] and CORVANE_TEST_PORTAL_LOG.
set -eu
CORVANE_REPO=$(cd "$(dirname "$0")/../../.." && pwd)
. "$CORVANE_REPO/tools/lib.sh"
work=$(mktemp -d)
mkdir "$work/files"
trap 'for p in ${PORTAL_PIDS:-}; do kill $p 2>/dev/null; done; rm -rf "$work"' EXIT INT TERM

start_portal() {
    name=$1
    shift
    start_demo_portal "$work" "$name" --files "$work/files" "$@"
}
start_portal main --manifest-file "$work/update.txt" --unsigned --log "$work/requests.log" \
    --no-content-length /files/chunked.bin --status-404 /files/missing.bin
start_portal sign --manifest-file "$work/update-source.txt"
for percent in 0 50 99; do
    start_portal "cut$percent" --truncate /files/Corvane.exe --truncate /files/cut.bin --truncate-percent "$percent"
done
start_portal slow --slow /files/Corvane.exe --slow /files/slow.bin --slow-rate 40000
start_portal late --slow /files/Corvane.exe --slow-delay 30
wait_for_portals "$work" main sign cut0 cut50 cut99 slow late

export CORVANE_TEST_WORK="$work"
export CORVANE_TEST_PORTAL="$(portal_url "$work" main)"
export CORVANE_TEST_PORTAL_LOG="$work/requests.log"
for name in sign cut0 cut50 cut99 slow late; do
    export "CORVANE_TEST_PORTAL_$(echo "$name" | tr a-z A-Z)=$(portal_url "$work" "$name")"
done
"$REPO/tools/wine-exec" "$@"
