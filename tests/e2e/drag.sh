#!/usr/bin/env bash
# Dragging the meter with the mouse: it follows the cursor, and its place is saved at the end (the
# screen's edges stop it in MeterWindow.DraggingFollowsTheCursorAndStopsAtTheScreenEdges, and on a
# real screen in two_monitors.sh); a double-click hides it, and the hidden state is saved too. The end
# is the X server going away under the program, as at the end of a session started with startx: the
# program saves the settings the user changed, as at the end of the session, says so and ends with
# status 1.
source "$(dirname "$0")/lib.sh"

start_display
xvfb=${BG_PIDS[-1]}
printf '[Form]\nPosition=4\nLeft=6000\nTop=3000\n' | write_ini
start_corvane
wait_meter
expect_put_back "stored place 6000,3000 twips, taken again after a move" "400 200 10 51"

drag 405 220 605 420
expect_geometry "follows the cursor" "600 400 10 51"
# Two presses make a double-click only within the system's interval; on a busy machine the second may
# come later, and the meter takes two single clicks without a change, so the gesture is tried again.
double_click_hides() { xdotool mousemove 605 420 click --repeat 2 --delay 80 1 && within 2 gone_titled '^Corvane$'; }
holds_within 10 "a double-click hides the meter" double_click_hides

kill "$xvfb"
within 20 program_ended || fail "the program still runs without its X server"
rc=0
wait "$CORVANE_PID" || rc=$?
expect_eq "exit status without the X server" 1 "$rc"
holds "said on standard error" grep -qx 'corvane: the connection to the display broke: the settings are saved' "$PROGRAM_LOG"
# Hidden by the double-click; the dragged place in twips; the position choice unchanged.
expect_saved "State= 1" "Left= 9000" "Top= 6000" "Position= 4"
