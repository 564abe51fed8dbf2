#!/bin/bash
# The status tooltip beside the meter, on battery at 57 % (check_tooltip in common.sh): the same box as
# the Linux program's, to the pixel, since both lay the text out in Arial's metrics (Liberation Sans
# under Wine). A click elsewhere closes the menu a right click on the meter opened: the foreground step
# before TrackPopupMenu makes it so.
source "$(dirname "$0")/lib.sh"
setup
start_corvane_on_battery --ac 0 --percent 57
wait_for_meter >/dev/null
check_tooltip wine-tooltip
xdotool mousemove 500 400 click 1
within 5 eval '! meter_menu_up' || fail "the menu stayed after a click elsewhere"
pass "a click elsewhere closes the menu"
end_session
