#!/usr/bin/env bash
# One running copy per user: a second start while the program runs ends within a second with status 0,
# adds no icon and no meter, and brings a hidden meter back; a copy killed outright does not keep the
# next start out. The command line answers first, without a display, and leaves the settings as they were.
source "$(dirname "$0")/lib.sh"

printf '[Form]\nState=1\n' | write_ini
before=$(cat "$INI")
check_command_line env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$CFG" "$CORVANE"
expect_eq "the command line leaves the settings untouched" "$before" "$(cat "$INI")"
expect_eq "and writes nothing else" "Corvane.ini" "$(ls "$CFG/Corvane")"

start_display 1024x768
start_tray

again() { start_again "$1" env XDG_CONFIG_HOME="$CFG" "$CORVANE"; }

start_corvane
within 10 tray_icon_settled || fail "no program icon in the tray"
expect_eq "started hidden" 0 "$(visible_meters)"
again "second start with the meter hidden"
wait_meter
expect_geometry "the hidden meter is shown in its place" "1014 0 10 51"
again "third start with the meter shown"
sleep 0.5
expect_eq "one meter" 1 "$(visible_meters)"
expect_one_tray_icon "one icon"
stop_corvane TERM
expect_eq "shown by the second start, saved as shown" " 0" "$(ini_value State)"

# Killed outright, the copy leaves its lock file and socket behind.
start_corvane
wait_meter
{ kill -KILL "$CORVANE_PID" && wait "$CORVANE_PID"; } 2>/dev/null || true
[[ -S $XDG_RUNTIME_DIR/corvane.socket ]] || fail "no socket left behind to try the next start with"
start_corvane
wait_meter
pass "a start after a killed copy runs"
again "a start beside it"
expect_eq "still one meter" 1 "$(visible_meters)"
stop_corvane TERM
