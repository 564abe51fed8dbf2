#!/bin/bash
# Dragging the meter with the left button moves it with the cursor and stops it at the screen's
# edges; the place it was left at is saved. A stored state the program does not know (7) leaves the
# meter shown and is saved back as it was.
source "$(dirname "$0")/lib.sh"
setup
reg_add Form State " 7"
start_corvane
wait_meter
expect_put_back "in the top right corner, and again after a move" "1014 0 10 51"

xdotool mousemove 1018 25
sleep 0.3
xdotool mousedown 1
sleep 0.3
glide 500 300
expect_geometry "follows the cursor" "496 275 10 51"
glide 0 0
expect_geometry "stops at the top left corner" "0 0 10 51"
glide 1023 767
expect_geometry "stops at the bottom right corner" "1014 717 10 51"
xdotool mouseup 1
sleep 0.3
glide 600 400
sleep 0.5
expect_geometry "no button: the meter stays" "1014 717 10 51"

stop_corvane
# Where it was left, in twips; the position choice and the unknown state as they were.
expect_saved "Left= 15210" "Top= 10755" "Position= 2" "State= 7"
