#!/bin/bash
# First start with nothing stored: an upright 10x51 meter in the top right corner, white strips
# beside a grey surface.
source "$(dirname "$0")/lib.sh"
setup
start_corvane
meter=$(wait_for_meter)
expect_geometry "$meter" "1014 0 10 51"
screenshot_when 1015 25 808080
surface=$(printf '808080 %.0s' $(seq 8))
check_meter_pixels() {
    for y in 0 1 25 49 50; do
        expect_row 1013 1023 "$y" "000000 FFFFFF ${surface}FFFFFF"
    done
}
check_meter_pixels
# Covered by another window and uncovered again, the meter paints the same picture.
cover_for_a_moment 960 0 64 80
screenshot_when 1015 25 808080
check_meter_pixels
expect_row 1014 1023 51 "$(printf '000000 %.0s' $(seq 9))000000"

# Alt+F4 on the meter is the window system's close, which the meter refuses. The click makes it the
# window the keys go to; a hidden window would be off the X screen within about two seconds (Wine
# waits that long for a window manager that is not there).
xdotool mousemove 1018 25 click 1
sleep 0.5
xdotool key alt+F4
sleep 3
expect_eq "the meter after Alt+F4" "$meter" "$(meter_window)"
program_ended && fail "corvane.exe ended on Alt+F4"
echo "meter at 1014,0, 10x51: white strips beside a grey surface; Alt+F4 leaves it shown"
