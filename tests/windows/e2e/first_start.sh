#!/bin/bash
# First start with nothing stored: an upright 10x51 meter in the top right corner, white strips
# beside the drawing of the battery.
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
echo "meter at 1014,0, 10x51: white strips beside the bar; Alt+F4 leaves it shown"
