#!/bin/sh
# Runs a Wine test program inside a Wine desktop of 800 x 600 with its taskbar (the desktop
# named "shell" has one): the screen and the work area of the smallest screens players have,
# whatever the display. What the program starts runs in that desktop too. Wine's explorer does
# not pass the program's exit code on, so the result is read from its XML report.
set -eu
REPO=$(cd "$(dirname "$0")/../../.." && pwd)
program=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
sh "$REPO/tests/wine/browser/run_with_portal.sh" explorer /desktop=shell,800x600 "Z:$program" \
    --gtest_output="xml:Z:$work/report.xml" "$@"
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
