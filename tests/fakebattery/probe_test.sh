#!/bin/bash
# Runs a power probe (the Windows one under Wine in the Windows tests, or the
# Linux one by hand) against the fake battery, then changes the battery from
# outside while the namespace stays up, as a running meter would see it.
#   probe_test.sh PROBE_COMMAND [ARGS...]
set -u
(($#)) || { echo "usage: probe_test.sh PROBE_COMMAND [ARGS...]" >&2; exit 2; }
here=$(dirname "$(readlink -f "$0")")
dir=$(mktemp -d "${TMPDIR:-/tmp}/probe_test.XXXXXX") || exit 1
trap 'rm -rf -- "$dir"' EXIT

# Inside the namespace: probe, wait for the outside to rewrite the tree, probe
# again. The marker files live beside the tree, not in it. Each side waits up to
# 30 s times the slowness factor of the machine (see scripts/test-slowness).
tries=$((300 * ${CORVANE_TEST_SLOWNESS:-1}))
# shellcheck disable=SC2016 # expanded by the inner shell
out=$("$here/../../tools/fakebattery/with-fake-battery" --ac 0 --percent 57 --dir "$dir/tree" -- bash -c '
    "${@:3}" || exit
    touch "$1/ready"
    for _ in $(seq "$2"); do [[ -e $1/changed ]] && exec "${@:3}"; sleep 0.1; done
    echo "timed out waiting for set-fake-battery" >&2; exit 1' probe "$dir" "$tries" "$@" &
    for _ in $(seq "$tries"); do [[ -e $dir/ready ]] && break; sleep 0.1; done
    "$here/../../tools/fakebattery/set-fake-battery" "$dir/tree" --ac 1 --percent 80 && touch "$dir/changed"
    wait $!)
rc=$?
echo "$out"
((rc == 0)) || { echo "FAIL: probe under with-fake-battery exited with $rc" >&2; exit 1; }

expect() {  # LINE_NUMBER WHAT PATTERN...
    local line pattern
    line=$(sed -n "$1p" <<<"$out")
    for pattern in "${@:3}"; do
        [[ " $line " == *" $pattern "* ]] || { echo "FAIL: $2: expected $pattern in '$line'" >&2; exit 1; }
    done
}
expect 1 "on battery" ACLineStatus=0 BatteryLifePercent=57
expect 2 "after set-fake-battery" ACLineStatus=1 BatteryLifePercent=80 BatteryFlag=9
echo "PASS: fake battery seen as 57% offline, then 80% on AC"
