#!/bin/sh
# The release check against builds trusting the demo key, another key, both, and none.
set -eu
REPO=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
demo=$(sed -n 's/^set(CORVANE_DEMO_UPDATE_KEY "\(.*\)")$/\1/p' "$REPO/CMakeLists.txt")
other="B$(printf '%086d' 0)="
fail=0
check() {  # expected-status keys... [-- flag]
    expected=$1
    shift
    flag=
    : >"$work/trusted-update-keys.txt"
    for k in "$@"; do
        if [ "$k" = "--allow-demo-key" ]; then flag=$k; else echo "$k" >>"$work/trusted-update-keys.txt"; fi
    done
    status=0
    "$REPO/tools/release-check" "$work" $flag 2>/dev/null || status=$?
    if [ "$status" != "$expected" ]; then
        echo "FAIL: keys [$*] gave $status, expected $expected"
        fail=1
    fi
}
check 1 "$demo"
check 1 "$other" "$demo"
check 0 "$demo" --allow-demo-key
check 0 "$other"
check 0
rm "$work/trusted-update-keys.txt"
status=0
"$REPO/tools/release-check" "$work" 2>/dev/null || status=$?
[ "$status" = 1 ] || { echo "FAIL: a missing key list passed"; fail=1; }
[ "$fail" = 0 ] && echo "release check: all cases passed"
exit $fail
