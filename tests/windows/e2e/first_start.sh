#!/bin/bash
# First start with nothing stored: an upright 10x51 meter in the top right corner, white strips
# beside the drawing of the battery; the end of the session saves all twenty settings as texts,
# numbers with their leading blank.
source "$(dirname "$0")/lib.sh"
setup
start_corvane_on_battery  # on mains at 80 %
meter=$(wait_for_meter)
expect_geometry "$meter" "1014 0 10 51"
# 80 % of the 51 rows is 41: the bar from row 10, its right half in the mains colour.
picture=$(drawn_meter 10 00FF00 0000FF)
expect_meter "the bar between the white border strips" "$picture"
# Covered by another window and uncovered again, the meter paints the same picture.
cover_for_a_moment 960 0 64 80
expect_meter "uncovered: the same picture" "$picture"
expect_row 1013 1023 51 "$(printf '000000 %.0s' $(seq 10))000000"
expect_row 1013 1013 25 000000

# Alt+F4 on the meter is the window system's close, which the meter refuses. The click makes it the
# window the keys go to; a hidden window would be off the X screen within about two seconds (Wine
# waits that long for a window manager that is not there).
xdotool mousemove 1018 25 click 1
sleep 0.5
xdotool key alt+F4
sleep 3
expect_eq "the meter after Alt+F4" "$meter" "$(meter_window)"
program_ended && fail "corvane.exe ended on Alt+F4"
pass "meter at 1014,0, 10x51: white strips beside the bar; Alt+F4 leaves it shown"

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
