#!/bin/sh
# Runs a Wine test program inside a Wine desktop of 800 x 600 with its taskbar (the desktop
# named "shell" has one): the screen and the work area of the smallest screens players have,
# whatever the display. What the program starts runs in that desktop too.
#
# The desktop runs in a prefix and a wineserver of its own: the screen size of a virtual desktop
# stays with its wineserver, and every later program of the other tests would see 800 x 600.
# Wine's explorer does not pass the program's exit code on, so the result is read from its XML
# report.
set -eu
CORVANE_REPO=$(cd "$(dirname "$0")/../../.." && pwd)
. "$CORVANE_REPO/tools/lib.sh"
program=$1
shift
work=$(mktemp -d)
export WINEPREFIX="$work/prefix"
trap 'stop_wineserver; wineserver -w 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
make_prefix "$WINEPREFIX"
start_wineserver
# The desktop's window takes the display's top left corner. A pointer resting outside it, where
# an earlier program's last click left it, has Wine put the cursor off the desktop on a late
# crossing event, and a click made then never reaches its window: it rests in the desktop's
# bottom right corner instead, on the taskbar's empty end.
xdotool mousemove 799 599 2>/dev/null || true
sh "$REPO/tests/wine/browser/run_with_portal.sh" explorer /desktop=shell,800x600 "Z:$program" \
    --gtest_output="xml:Z:$work/report.xml" "$@" &
desktop=$!
# The desktop stays while any program in it runs (a client a failed test left behind): the
# report says the test program has ended, and the prefix's wineserver then ends the rest.
while kill -0 "$desktop" 2>/dev/null && [ ! -s "$work/report.xml" ]; do
    sleep 1
done
sleep 1
stop_wineserver
wait "$desktop" || true
python3 - "$work/report.xml" <<'PY'
import sys
import xml.etree.ElementTree as ET
try:
    root = ET.parse(sys.argv[1]).getroot()
except (OSError, ET.ParseError) as e:
    sys.exit("no test report: %s" % e)
ran = int(root.get("tests", "0"))
failed = int(root.get("failures", "0")) + int(root.get("errors", "0"))
for case in root.iter("testcase"):
    for failure in case.iter("failure"):
        print("FAILED %s.%s: %s" % (case.get("classname"), case.get("name"), failure.get("message")))
print("%d tests, %d failed" % (ran, failed))
sys.exit(1 if failed or ran == 0 else 0)
PY
