#!/usr/bin/env bash
# One running copy per user: a second start while the program runs ends within a second with status 0,
# adds no icon and no meter, and brings a hidden meter back; a copy killed outright does not keep the
# next start out.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_tray

visible_meters() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | wc -l; }
icon_in_tray() { ICON=$(tray_blue_pixels) && [[ $ICON -gt 40 ]]; }

start_again() {  # what: the second start, which must end by itself within a second, with status 0
    XDG_CONFIG_HOME="$CFG" "$CORVANE" >"$WORK/again.log" 2>&1 &
    local pid=$! rc=0
    within 1 eval "! kill -0 $pid 2>/dev/null" || { kill "$pid"; fail "$1: still running after a second"; }
    wait "$pid" || rc=$?
    expect_eq "$1: exit status" 0 "$rc"
    expect_eq "$1: says nothing" "" "$(cat "$WORK/again.log")"
}

printf '[Form]\nState=1\n' | write_ini
start_corvane
within 10 icon_in_tray || fail "no program icon in the tray"
one_icon=$ICON
expect_eq "started hidden" 0 "$(visible_meters)"
start_again "second start with the meter hidden"
wait_meter
expect_geometry "the hidden meter is shown in its place" "1014 0 10 51"
start_again "third start with the meter shown"
sleep 0.5
expect_eq "one meter" 1 "$(visible_meters)"
expect_eq "one icon" "$one_icon" "$(tray_blue_pixels)"
stop_corvane TERM
expect_eq "shown by the second start, saved as shown" " 0" "$(ini_value State)"

# Killed outright, the copy leaves its lock file and socket behind.
start_corvane
wait_meter
kill -KILL "$CORVANE_PID"
within 5 program_ended || fail "the program outlived SIGKILL"
wait "$CORVANE_PID" 2>/dev/null || true
[[ -S $XDG_RUNTIME_DIR/corvane.socket ]] || fail "no socket left behind to try the next start with"
start_corvane
wait_meter
pass "a start after a killed copy runs"
start_again "a start beside it"
expect_eq "still one meter" 1 "$(visible_meters)"
stop_corvane TERM
