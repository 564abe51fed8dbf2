#!/bin/bash
# corvane.exe on two monitors whose primary one lies right of the other (tests/e2e/monitors.sh), and
# a new resolution set while it runs, through the call the display settings make: the meter stands in
# the primary monitor's corner before and after. Wine's X11 driver sets the mode with RandR and tells
# every program's windows, as Windows does.
#   display_change.sh corvane.exe WINEDIR screen_size.exe
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=$3
source "$HERE/../../e2e/monitors.sh"

# The test's display is the Xorg whose monitors it arranges, not the shared Xvfb.
start_display() {
    start_monitors_display
    arrange_monitors 1280x800+0+0 "1920x1080+1280+0*"
}
setup
start_meter_at "the meter in the upper right corner of the primary monitor, right of the other one" "3190 0 10 51" \
    "${ON_BATTERY[@]}" --

expect_eq "the primary monitor's new resolution, as the program's screen" 1280x1024 "$(wout "$SCREEN_SIZE" 1280 1024)"
expect_eq "the monitors after the change" "1280x1024+1280+0* 1280x800+0+0" "$(monitors)"
expect_geometry "the meter went to the upper right corner of the primary monitor at its new resolution" "2550 0 10 51"
keep_shot wine-display-change

stop_corvane
expect_eq "the position choice is what it was" " 2" "$(saved Position)"
