#!/usr/bin/env bash
# The status tooltip beside the meter, on battery at 57 % (check_tooltip in common.sh); the menu a
# right click on the meter opens ends the program with its "Exit".
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_corvane_on_battery --ac 0 --percent 57
wait_meter
check_tooltip linux-tooltip
MENU_SPOT="1019 80"  # menu_closed looks up-left of it
choose exit
within 10 program_ended || fail "the program did not end after Exit"
rc=0
wait "$CORVANE_PID" || rc=$?
expect_eq "exit status after Exit" 0 "$rc"
