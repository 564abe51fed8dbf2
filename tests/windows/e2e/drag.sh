#!/bin/bash
# Garbled settings, as a hand in the registry editor may leave them, do not stop the program: a text
# reads as the number at its front (none: 0), and a state the program does not know (7) leaves the
# meter shown and is saved back as it was. (How a value of another type reads, a DWORD as its number,
# is RegistryStoreTest's, on the same registry.) Dragging the meter with the left button moves it
# with the cursor and stops it at the screen's edges; the place it was left at is saved.
source "$(dirname "$0")/lib.sh"
setup

# A thickness of nothing: a meter too thin to see, but the program runs and ends as ever. Start-up is
# through once the main form's window and the meter's both exist, shown or not.
reg_add Form Width "&HZZ"
start_corvane
within 20 eval '(($(xdotool search --name "^Corvane$" 2>/dev/null | wc -l) >= 2))' || fail "corvane.exe made no windows"
sleep "$(scaled 2)"
program_ended && fail "corvane.exe stopped with a garbled thickness"
stop_corvane
expect_saved "Width= 0"

reg_add Form Position abc                  # 0: the upper left corner
reg_add Form Width "12abc"                 # 12
reg_add Form State " 7"
reg_add Options Upright "0 but flat"       # 0: lying flat
start_meter "${ON_BATTERY[@]}" --          # on mains at 80 %
expect_put_back "a flat 51x12 meter at 0,0, and again after a move" "0 0 51 12"
expect_flat_meter 12 FFFFFF 808080

press_on_meter 25 6
glide 500 300
expect_geometry "follows the cursor" "475 294 51 12"
glide 0 0
expect_geometry "stops at the top left corner" "0 0 51 12"
glide 1023 767
expect_geometry "stops at the bottom right corner" "973 756 51 12"
xdotool mouseup 1 sleep "$(scaled 0.3)"
glide 600 400
sleep "$(scaled 0.5)"
expect_geometry "no button: the meter stays" "973 756 51 12"

stop_corvane
# Where it was left, in twips; the position choice and the unknown state as they were.
expect_saved "Left= 14595" "Top= 11340" "Position= 0" "State= 7"
