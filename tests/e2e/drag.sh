#!/usr/bin/env bash
# Dragging the meter with the mouse: it follows the cursor, stops at the screen's edges, and its
# place is saved at the end; a double-click hides it, and the hidden state is saved too.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
printf '[Form]\nPosition=4\nLeft=6000\nTop=3000\n' | write_ini
start_corvane
wait_meter
expect_put_back "stored place 6000,3000 twips, taken again after a move" "400 200 10 51"

drag() {  # from x y to x y, in a few steps as a hand would
    xdotool mousemove "$1" "$2" mousedown 1
    # The press reads where the cursor is when it is handled; no hand moves on within the moment the
    # program may take for the move before it (the first one over the meter makes the tooltip).
    sleep 0.2
    local i
    for i in 1 2 3 4; do
        xdotool mousemove $(($1 + ($3 - $1) * i / 4)) $(($2 + ($4 - $2) * i / 4))
        sleep 0.05
    done
    xdotool mouseup 1
}

drag 405 220 605 420
expect_geometry "follows the cursor" "600 400 10 51"
drag 605 420 5 420
expect_geometry "stops at the left edge" "0 400 10 51"
drag 5 420 1023 767
expect_geometry "stops at the right and bottom edges" "1014 717 10 51"
drag 1018 740 1018 0
expect_geometry "stops at the top edge" "1014 0 10 51"
drag 1018 10 700 300
expect_geometry "moved again" "696 290 10 51"
xdotool mousemove 700 300 click --repeat 2 --delay 80 1
within 5 eval '[[ -z $(meter_window) ]]' || fail "a double-click did not hide the meter"
pass "a double-click hides the meter"

stop_corvane TERM
expect_eq "hidden by the double-click, saved as 1" " 1" "$(ini_value State)"
expect_eq "dragged left edge saved in twips" " 10440" "$(ini_value Left)"
expect_eq "dragged top edge saved in twips" " 4350" "$(ini_value Top)"
expect_eq "position choice unchanged" " 4" "$(ini_value Position)"
