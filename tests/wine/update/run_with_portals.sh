#!/bin/sh
# Runs an update test program with demo portals of its own, all serving the files of one work
# directory: the main portal (manifest <work>/update.txt served as it is, request log), the signing
# one (<work>/update-source.txt served signed, with its hostile variants), three that cut
# /files/Corvane.exe and /files/cut.bin short at 0 %, 50 % and 99 %, and a slow one (its manifest
# too). The program finds them through CORVANE_TEST_WORK,
# CORVANE_TEST_PORTAL[_SIGN|_CUT0|_CUT50|_CUT99|_SLOW] and CORVANE_TEST_PORTAL_LOG.
set -eu
REPO=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
mkdir "$work/files"
pids=
trap 'for p in $pids; do kill $p 2>/dev/null; done; rm -rf "$work"' EXIT INT TERM

start_portal() {
    name=$1
    shift
    python3 "$REPO/tools/demo_portal/portal.py" --port 0 --port-file "$work/$name.port" --files "$work/files" "$@" \
        >/dev/null 2>&1 </dev/null &
    pids="$pids $!"
}
start_portal main --manifest-file "$work/update.txt" --unsigned --log "$work/requests.log" \
    --no-content-length /files/chunked.bin --status-404 /files/missing.bin
start_portal sign --manifest-file "$work/update-source.txt"
for percent in 0 50 99; do
    start_portal "cut$percent" --truncate /files/Corvane.exe --truncate /files/cut.bin --truncate-percent "$percent"
done
start_portal slow --slow /files/Corvane.exe --slow /files/slow.bin --slow-rate 40000 \
    --slow /gamehome/vld/update.txt --slow-delay 1

for name in main sign cut0 cut50 cut99 slow; do
    for _ in $(seq 100); do
        [ -s "$work/$name.port" ] && break
        sleep 0.1
    done
    [ -s "$work/$name.port" ] || { echo "the demo portal $name did not start" >&2; exit 1; }
done
port() { echo "http://127.0.0.1:$(cat "$work/$1.port")"; }
export CORVANE_TEST_WORK="$work"
export CORVANE_TEST_PORTAL="$(port main)"
export CORVANE_TEST_PORTAL_LOG="$work/requests.log"
export CORVANE_TEST_PORTAL_SIGN="$(port sign)"
export CORVANE_TEST_PORTAL_CUT0="$(port cut0)"
export CORVANE_TEST_PORTAL_CUT50="$(port cut50)"
export CORVANE_TEST_PORTAL_CUT99="$(port cut99)"
export CORVANE_TEST_PORTAL_SLOW="$(port slow)"
"$REPO/tools/wine-exec" "$@"
