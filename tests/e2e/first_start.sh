#!/usr/bin/env bash
# First start on an empty configuration, the settings written at the end, and read back next time.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_corvane
wait_meter
expect_geometry "meter at the top right, 10x51" "1014 0 10 51"
screenshot_when 1015 25 808080
check_meter_pixels() {
    local x y
    for y in 0 25 50; do
        expect_eq "left border pixel (y=$y)" FFFFFF "$(pixel 1014 $y)"
        expect_eq "right border pixel (y=$y)" FFFFFF "$(pixel 1023 $y)"
        for x in 1015 1018 1022; do expect_eq "surface pixel ($x,$y)" 808080 "$(pixel $x $y)"; done
    done
}
check_meter_pixels
# Covered by another window and uncovered again, the meter shows the same picture.
cover_for_a_moment 960 0 64 80
screenshot_when 1015 25 808080
check_meter_pixels
stop_corvane TERM

expected="[Form]
Position= 2
Left= 15210
Top= 0
Width= 10
State= 0

[Options]
ShowTop= 1
Upright= 1
LowBound= 25
MidBound= 50
EnableAlarm= 0
SoundFile=
ShowHelp= 1
FullLife= 0
LowColor= 4095
MidColor= 65535
HighColor= 65280
ACColor= 16711680
BGColor= 8421504
GridColor= 16777215
BorderColor= 16777215"
expect_eq "the twenty keys in save order, as decimal texts" "$expected" "$(cat "$INI")"

# A second start reads the file back and, ended by SIGINT this time, writes the same file again.
start_corvane
wait_meter
expect_geometry "second start: same place" "1014 0 10 51"
stop_corvane INT
expect_eq "second start: the same settings saved" "$expected" "$(cat "$INI")"

# Values changed in the file take effect: flat in the upper left, 14 thick, red border.
sed -i -e 's/^Position=.*/Position=0/' -e 's/^Upright=.*/Upright=0/' -e 's/^Width=.*/Width=14/' \
    -e 's/^BorderColor=.*/BorderColor=\&HFF\&/' "$INI"
start_corvane
wait_meter
expect_geometry "flat meter in the upper left" "0 0 51 14"
screenshot_when 25 1 808080
expect_eq "red border strip" FF0000 "$(pixel 25 0)"
expect_eq "grey surface" 808080 "$(pixel 25 1)"
stop_corvane HUP
expect_eq "saved after SIGHUP" " 255" "$(ini_value BorderColor)"
expect_eq "flat position saved" " 0" "$(ini_value Position)"
