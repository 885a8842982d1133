#!/bin/sh
# The release check against builds trusting the demo key, another key, both, and none, with and
# without the time of their commit.
set -eu
REPO=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
demo=$(sed -n 's/^set(CORVANE_DEMO_UPDATE_KEY "\(.*\)")$/\1/p' "$REPO/CMakeLists.txt")
other="B$(printf '%086d' 0)="
# The same bytes with unused bits set: lenient decoders read the demo key, the client no key.
demo_respelled="${demo%s=}t="
other_respelled="B$(printf '%085d' 0)1="
fail=0
time_of_build=2026-12-08T19:54:56Z
check() {  # expected-status keys... and flags --allow-...
    expected=$1
    shift
    flags=
    : >"$work/trusted-update-keys.txt"
    echo "$time_of_build" >"$work/build-time.txt"
    for k in "$@"; do
        case $k in
        --*) flags="$flags $k" ;;
        *) echo "$k" >>"$work/trusted-update-keys.txt" ;;
        esac
    done
    status=0
    # shellcheck disable=SC2086
    "$REPO/tools/release-check" "$work" $flags 2>"$work/said" || status=$?
    if [ "$status" != "$expected" ]; then
        echo "FAIL: keys and flags [$*], time [$time_of_build] gave $status, expected $expected:"
        cat "$work/said"
        fail=1
    fi
}
check 1 "$demo"
check 1 "$other" "$demo"
check 0 "$demo" --allow-demo-key
check 0 "$other"
# A build that trusts nothing installs any unsigned update.
check 1
check 1 --allow-demo-key
check 0 --allow-unsigned-updates
check 1 "$demo" --allow-unsigned-updates
check 0 "$demo" --allow-demo-key --allow-unsigned-updates
check 1 "$other" --allow-everything
grep -q "unknown argument --allow-everything" "$work/said" || { echo "FAIL: an unknown flag was not named"; fail=1; }
check 1
grep -q -- "--allow-unsigned-updates" "$work/said" || { echo "FAIL: the keyless refusal does not name its flag"; fail=1; }
check 1 "$demo_respelled"
grep -q "trusts the demo update key" "$work/said" || { echo "FAIL: the respelled demo key was not named as such"; fail=1; }
check 1 "$demo_respelled" --allow-demo-key --allow-unsigned-updates
check 1 "$other_respelled" --allow-unsigned-updates
# Without the commit's time a build cannot tell a replayed manifest from a new one.
for time_of_build in "" "2026-12-08T19:54:56+00:00" "1796759696" "2026-12-08T19:54:56Z
x" "1970-01-01T00:00:00Z" "2019-12-31T23:59:59Z"; do
    check 1 "$other"
    check 1 "$demo" --allow-demo-key
    check 1 --allow-unsigned-updates
done
time_of_build=2020-01-01T00:00:00Z
check 0 "$other"
rm "$work/build-time.txt"
status=0
"$REPO/tools/release-check" "$work" 2>/dev/null || status=$?
[ "$status" = 1 ] || { echo "FAIL: a missing build time passed"; fail=1; }
echo "$time_of_build" >"$work/build-time.txt"
rm "$work/trusted-update-keys.txt"
status=0
"$REPO/tools/release-check" "$work" 2>/dev/null || status=$?
[ "$status" = 1 ] || { echo "FAIL: a missing key list passed"; fail=1; }
[ "$fail" = 0 ] && echo "release check: all cases passed"
exit $fail
