#!/bin/bash
# The notification-area icon on a real tray: it docks, its tip shows the status line when the mouse
# rests on it, and a right click opens the menu, whose commands hide the meter (which the next start
# remembers), open the help through the shell and end the program, taking the icon along.
source "$(dirname "$0")/lib.sh"
fake_browser  # before the prefix's processes start, so they find it on their PATH
setup
html_opens_in_browser
start_tray
expect_eq "empty tray has no icon" 0 "$(icon_pixels)"

start_corvane "$HERE/../../fakebattery/with-fake-battery" --dir "$WORK/battery" --ac 0 --percent 57 --
wait_for_meter >/dev/null
wait_icon
pass "program icon in the tray"

# The icon reports the mouse moving over it, and the program puts the status line into the tip then.
sleep 1  # past the first tick
hover_icon
within 5 tip_is_status_line || fail "the tip over the icon is not the status line"
pass "the tip shows the status line ($(tray_tip_width) pixels wide)"
keep_shot wine-tray-tip

open_icon_menu
keep_shot wine-menu
choose hide
within 5 eval '[[ -z $(meter_window) ]]' || fail "the meter is still shown"
pass "Hide Battery Meter hides the meter"

open_icon_menu
choose help
within 10 opened >/dev/null || fail "the shell opened no browser for the help"
expect_eq "the shell opens the help page beside the program" \
    "file://$(dirname "$(realpath "$EXE")")/help/index.html" "$(opened)"

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
