#!/usr/bin/env bash
# First start on an empty configuration, the settings written at the end, and read back next time.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_corvane_on_battery  # on mains at 80 %
wait_meter
expect_geometry "meter at the top right, 10x51" "1014 0 10 51"
# 80 % of the 51 rows is 41: the bar from row 10, its right half in the mains colour.
meter="$(drawn_meter 10 00FF00 0000FF)"
expect_meter "the bar between the white border strips" "$meter"
# Covered by another window and uncovered again, the meter shows the same picture.
cover_for_a_moment 960 0 64 80
expect_meter "uncovered: the same picture" "$meter"
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
FullLife=-1
LowColor= 4095
MidColor= 65535
HighColor= 65280
ACColor= 16711680
BGColor= 8421504
GridColor= 16777215
BorderColor= 16777215"
expect_eq "the twenty keys in save order, as decimal texts" "$expected" "$(cat "$INI")"

# A second start reads the file back and, ended by SIGINT this time, writes the same file again.
start_corvane_on_battery
wait_meter
expect_geometry "second start: same place" "1014 0 10 51"
stop_corvane INT
expect_eq "second start: the same settings saved" "$expected" "$(cat "$INI")"

# Values changed in the file take effect: flat in the upper left, 14 thick, red border.
sed -i -e 's/^Position=.*/Position=0/' -e 's/^Upright=.*/Upright=0/' -e 's/^Width=.*/Width=14/' \
    -e 's/^BorderColor=.*/BorderColor=\&HFF\&/' "$INI"
start_corvane_on_battery
wait_meter
expect_geometry "flat meter in the upper left" "0 0 51 14"
# The surface is rows 1 to 12; the bar, 41 of 51 pixels, runs to x = 41 with its lower half (from
# the surface's row 6) in the mains colour; the end lines take the border colour.
screenshot_when 25 1 00FF00
for p in "25 0 FF0000 border strip" "25 1 00FF00 bar" "41 6 00FF00 bar's last pixel" "42 6 808080 background" \
    "25 7 0000FF mains half" "41 12 0000FF mains half's corner" "25 13 FF0000 border strip" \
    "0 5 FF0000 left end line" "10 5 FFFFFF grid line" "50 5 FF0000 right end line"; do
    read -r x y colour what <<<"$p"
    expect_eq "flat: $what at $x,$y" "$colour" "$(pixel "$x" "$y")"
done
stop_corvane HUP
expect_eq "saved after SIGHUP" " 255" "$(ini_value BorderColor)"
expect_eq "flat position saved" " 0" "$(ini_value Position)"
