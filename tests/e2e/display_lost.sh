#!/usr/bin/env bash
# The X server goes away under the running program, as at the end of a session started with startx:
# the program saves the settings the user changed, as at the end of the session, says so on standard
# error and ends with status 1.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
xvfb=${BG_PIDS[-1]}
start_tray
start_corvane
wait_meter
wait_icon
open_icon_menu
choose hide
within 5 eval '[[ -z $(meter_window) ]]' || fail "the meter is still shown"
kill "$xvfb"
within 20 program_ended || fail "the program still runs without its X server"
rc=0
wait "$CORVANE_PID" || rc=$?
expect_eq "exit status" 1 "$rc"
expect_eq "the meter saved as hidden" " 1" "$(saved State)"
grep -qx 'corvane: the connection to the display broke: the settings are saved' "$PROGRAM_LOG" ||
    fail "nothing said on standard error"
pass "said on standard error"
