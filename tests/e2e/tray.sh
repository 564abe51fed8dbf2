#!/usr/bin/env bash
# The notification-area icon on a real tray: it docks, its tip carries the status line once the
# program has read the battery, and a right click opens the menu, whose commands hide the meter (which
# the next start remembers), open the help in the browser and end the program, taking the icon along.
# Before that, the status tooltip beside the meter (check_tooltip in common.sh).
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_tray
fake_browser
expect_eq "empty tray has no icon" 0 "$(icon_pixels)"

start_corvane_on_battery --ac 0 --percent 57
wait_meter
wait_icon
pass "program icon in the tray"

# Qt's tray reports no hovering, so the program has put the status line into the tip at its first
# tick already.
check_tray_tip linux-tray-tip
check_tooltip linux-tooltip
xdotool key Escape
within 5 eval '! meter_menu_up' || fail "Esc left the meter's menu open"

check_hide_and_help linux-menu "file://$(dirname "$CORVANE")/help/index.html"
[[ -s $(dirname "$CORVANE")/help/index.html ]] || fail "no help page beside the program"

open_icon_menu
choose exit
within 10 program_ended || fail "the program did not end after Exit"
rc=0
wait "$CORVANE_PID" || rc=$?
expect_eq "exit status after Exit" 0 "$rc"
expect_eq "icon gone after Exit" 0 "$(icon_pixels)"
expect_eq "the hidden meter saved" " 1" "$(ini_value State)"

start_corvane
wait_icon
sleep 1.5
expect_eq "the next start keeps the meter hidden" "" "$(meter_window)"
stop_corvane TERM
