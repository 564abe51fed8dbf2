#!/usr/bin/env bash
# The notification-area icon on a real tray: it docks, its tip carries the status line once the
# program has read the battery, and a right click opens the menu, whose commands hide the meter (which
# the next start remembers), open the help in the browser and end the program, taking the icon along.
# Before that, the status tooltip beside the meter, and a new tray after the first has ended. After it,
# one running copy per user: the command line answers without a display, and later starts end by
# themselves and bring the hidden meter back (check_tips and the rest in common.sh). That a copy
# killed outright does not keep the next start out is Sole.ACopyStoppedOrKilledOutrightHoldsNoStartUp's,
# on the same lock and socket; that the build puts the help page beside the program, the README test's.
source "$(dirname "$0")/lib.sh"

fake_browser
# Qt's tray reports no hovering, so the program has put the status line into the tip at its first
# tick already.
check_tips linux
check_keyboard_alone

# A tray that ends leaves no icon on the desktop (its window goes back there), and the next tray to
# start gets the icon back.
kill "$TRAY_PID"
within 5 eval '(($(icon_pixels) == 0))' || fail "the icon stayed where its tray was"
start_tray
wait_icon

check_icon_menu linux-menu "file://$(dirname "$CORVANE")/help/index.html"

check_command_line env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$CFG" "$CORVANE"
check_one_copy env XDG_CONFIG_HOME="$CFG" "$CORVANE"
