#!/bin/sh
# Runs a Wine test program with a demo portal of its own: the portal's address and request log
# reach the program as CORVANE_TEST_PORTAL and CORVANE_TEST_PORTAL_LOG. CORVANE_TEST_PORTAL_OPTIONS,
# when set, holds further options of the portal (words split at spaces).
set -eu
REPO=$(cd "$(dirname "$0")/../../.." && pwd)
work=$(mktemp -d)
# shellcheck disable=SC2086
python3 "$REPO/tools/demo_portal/portal.py" --port 0 --port-file "$work/port" --log "$work/requests.log" \
    ${CORVANE_TEST_PORTAL_OPTIONS:-} \
    >/dev/null 2>&1 </dev/null &
portal=$!
trap 'kill $portal 2>/dev/null; rm -rf "$work"' EXIT INT TERM
for _ in $(seq 100); do
    [ -s "$work/port" ] && break
    sleep 0.1
done
[ -s "$work/port" ] || { echo "the demo portal did not start" >&2; exit 1; }
export CORVANE_TEST_PORTAL="http://127.0.0.1:$(cat "$work/port")"
export CORVANE_TEST_PORTAL_LOG="$work/requests.log"
"$REPO/tools/wine-exec" "$@"
