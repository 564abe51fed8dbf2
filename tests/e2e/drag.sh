#!/usr/bin/env bash
# Dragging the meter with the mouse: it follows the cursor, stops at the screen's edges, and its
# place is saved at the end; a double-click hides it, and the hidden state is saved too.
source "$(dirname "$0")/lib.sh"

start_display
printf '[Form]\nPosition=4\nLeft=6000\nTop=3000\n' | write_ini
start_corvane
wait_meter
expect_put_back "stored place 6000,3000 twips, taken again after a move" "400 200 10 51"

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
# Two presses make a double-click only within the system's interval; on a busy machine the second may
# come later, and the meter takes two single clicks without a change, so the gesture is tried again.
double_click_hides() { xdotool mousemove 700 300 click --repeat 2 --delay 80 1 && within 2 gone_titled '^Corvane$'; }
within 10 double_click_hides || fail "a double-click did not hide the meter"
pass "a double-click hides the meter"

stop_corvane TERM
# Hidden by the double-click; the dragged place in twips; the position choice unchanged.
expect_saved "State= 1" "Left= 10440" "Top= 4350" "Position= 4"
