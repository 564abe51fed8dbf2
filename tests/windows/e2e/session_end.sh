#!/bin/bash
# The end of the session saves all twenty settings as texts, numbers with their leading blank.
source "$(dirname "$0")/lib.sh"
setup
start_corvane
meter=$(wait_for_meter)
expect_geometry "$meter" "1014 0 10 51"
end_session

form=$(stored Form)
options=$(stored Options)
expected_form='Left|REG_SZ| 15210
Position|REG_SZ| 2
State|REG_SZ| 0
Top|REG_SZ| 0
Width|REG_SZ| 10'
# The alarm is off without a sound file; FullLife is whatever the system last reported.
expected_options='ACColor|REG_SZ| 16711680
BGColor|REG_SZ| 8421504
BorderColor|REG_SZ| 16777215
EnableAlarm|REG_SZ| 0
GridColor|REG_SZ| 16777215
HighColor|REG_SZ| 65280
LowBound|REG_SZ| 25
LowColor|REG_SZ| 4095
MidBound|REG_SZ| 50
MidColor|REG_SZ| 65535
ShowHelp|REG_SZ| 1
ShowTop|REG_SZ| 1
SoundFile|REG_SZ|
Upright|REG_SZ| 1'
[[ $(sort <<<"$form") == "$expected_form" ]] || fail "Form holds:
$form"
[[ $(grep -v '^FullLife|' <<<"$options" | sort) == "$expected_options" ]] || fail "Options hold:
$options"
grep -Eq '^FullLife\|REG_SZ\|( [0-9]+|-[1-9][0-9]*)$' <<<"$options" || fail "FullLife is not a number text"
echo "twenty settings saved as texts"
