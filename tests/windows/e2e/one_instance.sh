#!/bin/bash
# One running copy per session: a second start while corvane.exe runs ends within a second with status
# 0, adds no icon and no meter, and brings a hidden meter back; a copy killed outright does not keep the
# next start out. The command line answers first (corvane.exe is a windowed program: on its standard
# output and error), makes no window and leaves the registry as it was.
source "$(dirname "$0")/lib.sh"
setup
reg_add Form State 1
before=$(stored Form; stored Options)
check_command_line wine "$EXE"
expect_eq "the command line leaves the settings untouched" "$before" "$(stored Form; stored Options)"
expect_eq "and makes no window" 0 "$(xdotool search --name '^Corvane$' 2>/dev/null | wc -l)"

start_tray
again() { start_again "$1" wine "$EXE"; }

start_corvane
wait_for_windows
within 10 tray_icon_settled || fail "no program icon in the tray"
# Shown and hidden again within start-up; Wine takes a moment to take a hidden window off the screen.
no_meter() { [[ $(visible_meters) == 0 ]]; }
within 5 no_meter || fail "the meter stored as hidden is on the screen"
pass "started hidden"
again "second start with the meter hidden"
wait_meter
expect_geometry "$METER" "1014 0 10 51"
again "third start with the meter shown"
sleep 0.5
expect_eq "one meter" 1 "$(visible_meters)"
expect_one_tray_icon "one icon"
expect_eq "two windows of one copy: the main form's and the meter's" 2 \
    "$(xdotool search --name '^Corvane$' 2>/dev/null | wc -l)"
end_session
expect_eq "shown by the second start, saved as shown" "State|REG_SZ| 0" "$(stored Form | grep '^State|')"

# Killed outright: Wine lets go of the copy's mutex and its windows.
start_corvane
wait_meter
{ kill -KILL "$CORVANE_PID" && wait "$CORVANE_PID"; } 2>/dev/null || true
start_corvane
wait_meter
pass "a start after a killed copy runs"
again "a start beside it"
expect_eq "still one meter" 1 "$(visible_meters)"
end_session
