#!/usr/bin/env bash
# The notification-area icon on a real tray: present while the program runs, gone after it ends.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_tray
expect_eq "empty tray has no icon" 0 "$(tray_blue_pixels)"

start_corvane
wait_meter
for _ in $(seq 50); do  # the tray takes the icon in a moment after the program adds it
    n=$(tray_blue_pixels)
    [ "$n" -gt 40 ] && break
    sleep 0.1
done
[ "$n" -gt 40 ] || fail "no program icon in the tray ($n blue pixels)"
pass "program icon in the tray ($n blue pixels)"

stop_corvane TERM
sleep 0.5
expect_eq "icon gone after the end" 0 "$(tray_blue_pixels)"
