#!/usr/bin/env bash
# The stored shown/hidden state: 1 starts hidden, an odd value such as 7 starts shown and is kept.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
printf '[Form]\nState=1\n' | write_ini
start_corvane
sleep 3
kill -0 "$CORVANE_PID" || fail "the program ended"
expect_eq "hidden state 1: no meter on the screen" "" "$(meter_window)"
stop_corvane TERM
expect_eq "hidden state saved" " 1" "$(ini_value State)"

printf '[Form]\nState=7\n' | write_ini
start_corvane
wait_meter
expect_geometry "state 7: the meter is shown" "1014 0 10 51"
# A double-click hides it, like the menu's command would.
xdotool mousemove 1018 25 click --repeat 2 --delay 80 1
for _ in $(seq 50); do [ -z "$(meter_window)" ] && break; sleep 0.1; done
expect_eq "double-click hides the meter" "" "$(meter_window)"
stop_corvane TERM
expect_eq "hidden by double-click, saved as 1" " 1" "$(ini_value State)"

printf '[Form]\nState=7\n' | write_ini
start_corvane
wait_meter
stop_corvane TERM
expect_eq "state 7 written back unchanged" " 7" "$(ini_value State)"
