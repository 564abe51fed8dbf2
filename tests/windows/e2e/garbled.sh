#!/bin/bash
# Garbled settings, as a hand in the registry editor may leave them, do not stop the program: a text
# reads as the number at its front (none: 0), a DWORD as its number, a value of another type as the
# empty text.
source "$(dirname "$0")/lib.sh"
setup

# A thickness of nothing: a meter too thin to see, but the program runs and ends as ever. Start-up is
# through once the main form's window and the meter's both exist, shown or not.
reg_add Form Width "&HZZ"
start_corvane
within 20 eval '(($(xdotool search --name "^Corvane$" 2>/dev/null | wc -l) >= 2))' || fail "corvane.exe made no windows"
sleep 2
program_ended && fail "corvane.exe stopped with a garbled thickness"
stop_corvane
expect_saved "Width= 0"

reg_add Form Position abc              # 0: the upper left corner
reg_add Form Width "12abc"             # 12
reg_add Options Upright "0 but flat"   # 0: lying flat
reg_add Options BorderColor ff REG_BINARY  # neither a text nor a number: 0, black
reg_add Options BGColor 255 REG_DWORD      # red, as the registry editor shows it
start_corvane_on_battery  # on mains at 80 %
wait_meter
expect_geometry "a flat 51x12 meter at 0,0" "0 0 51 12"
screenshot_when 25 1 00FF00
expect_row 0 50 0 "$(flat_row 000000)"                  # the black border strip
expect_row 0 50 1 "$(flat_row 000000 00FF00 FF0000)"   # the bar's upper half in the high colour, red after it
expect_row 0 50 10 "$(flat_row 000000 0000FF FF0000)"  # its lower half in the mains colour
expect_row 0 50 11 "$(flat_row 000000)"
stop_corvane
expect_saved "BGColor= 255"  # the DWORD's number, saved as a text
