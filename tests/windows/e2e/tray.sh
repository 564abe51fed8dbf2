#!/bin/bash
# The notification-area icon on a real tray: it docks, its tip shows the status line when the mouse
# rests on it, and a right click opens the menu, whose commands hide the meter (which the next start
# remembers), open the help through the shell and end the program, taking the icon along. Before
# that, the status tooltip beside the meter (check_tooltip in common.sh): the same box as the Linux
# program's, to the pixel, since both lay the text out in Arial's metrics (Liberation Sans under
# Wine); a click elsewhere closes the menu a right click on the meter opened (the foreground step
# before TrackPopupMenu makes it so).
source "$(dirname "$0")/lib.sh"
fake_browser  # before the prefix's processes start, so they find it on their PATH
setup
html_opens_in_browser
start_tray
expect_eq "empty tray has no icon" 0 "$(icon_pixels)"

start_corvane_on_battery --ac 0 --percent 57
wait_for_meter >/dev/null
wait_icon
pass "program icon in the tray"

# The icon reports the mouse moving over it, and the program puts the status line into the tip then.
check_tray_tip wine-tray-tip
check_tooltip wine-tooltip
xdotool mousemove 500 400 click 1
within 5 eval '! meter_menu_up' || fail "the menu stayed after a click elsewhere"
pass "a click elsewhere closes the menu"

check_hide_and_help wine-menu "file://$(dirname "$(realpath "$EXE")")/help/index.html"

open_icon_menu
choose exit
within 10 program_ended || fail "corvane.exe did not end after Exit"
expect_eq "icon gone after Exit" 0 "$(icon_pixels)"
grep -qx 'State|REG_SZ| 1' <<<"$(stored Form)" || fail "the hidden meter was not saved: $(stored Form)"
pass "the hidden meter saved"

start_corvane
wait_for_windows
wait_icon
# Shown and hidden again within the start; Wine takes a moment to move a hidden window off the screen.
within 5 eval '[[ -z $(meter_window) ]]' || fail "the next start shows the meter"
sleep 1
expect_eq "the next start keeps the meter hidden" "" "$(meter_window)"
end_session
