#!/bin/bash
# The notification-area icon on a real tray: it docks, its tip shows the status line when the mouse
# rests on it, and a right click opens the menu, whose commands hide the meter (which the next start
# remembers), open the help through the shell and end the program, taking the icon along. Before
# that, the status tooltip beside the meter: the same box as the Linux program's, to the pixel, since
# both lay the text out in Arial's metrics (Liberation Sans under Wine); a click elsewhere closes the
# menu a right click on the meter opened (the foreground step before TrackPopupMenu makes it so).
# After it, one running copy per session: the command line answers, later starts end by themselves
# and bring the hidden meter back, also after a copy killed outright (Wine lets go of its mutex and
# its windows). check_tips and the rest are in tests/e2e/common.sh.
source "$(dirname "$0")/lib.sh"
fake_browser  # before the prefix's processes start, so they find it on their PATH
setup
# A prefix made without the HTML engine has no program for ".html", which every Windows has: the
# browser Wine hands pages to (winebrowser, which asks xdg-open) opens them.
w reg add 'HKCR\.html' /ve /d htmlfile /f || fail "reg add .html"
# The icon reports the mouse moving over it, and the program puts the status line into the tip then.
check_tips wine
xdotool mousemove 500 400 click 1
holds_within 5 "a click elsewhere closes the menu" eval '! meter_menu_up'
check_keyboard_alone

check_icon_menu wine-menu "file://$(dirname "$(realpath "$EXE")")/help/index.html"

# corvane.exe is a windowed program: the command line answers on its standard output and error.
check_command_line wine "$EXE"
expect_eq "the command line makes no window" 0 "$(xdotool search --name '^Corvane$' 2>/dev/null | wc -l)"
# A copy killed outright, its icon gone with it, keeps no later start out: check_one_copy's first
# start comes after one.
start_corvane
within 15 tray_icon_settled || fail "the copy to kill put no icon in the tray"
{ kill -KILL "$CORVANE_PID" && wait "$CORVANE_PID"; } 2>/dev/null || true
within 5 eval '((! $(icon_pixels)))' || fail "the killed copy's icon stayed in the tray"
check_one_copy wine "$EXE"
