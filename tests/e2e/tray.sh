#!/usr/bin/env bash
# The notification-area icon on a real tray: present while the program runs, gone after it ends.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
# A small stand-alone tray along the bottom edge, as a desktop panel would have.
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 --transparent false \
    --tint 0x303030 >/dev/null 2>&1 &
BG_PIDS+=($!)
sleep 1

blue_pixels() {  # strongly blue pixels in the tray's area
    screenshot
    "$CONVERT" "$WORK/shot.png" -crop 120x32+904+736 +repage -fx 'b > 0.5 && b > r + 0.25 ? 1 : 0' \
        -format '%[fx:round(mean * w * h)]' info:
}
expect_eq "empty tray has no icon" 0 "$(blue_pixels)"

start_corvane
wait_meter
for _ in $(seq 50); do  # the tray takes the icon in a moment after the program adds it
    n=$(blue_pixels)
    [ "$n" -gt 40 ] && break
    sleep 0.1
done
[ "$n" -gt 40 ] || fail "no program icon in the tray ($n blue pixels)"
pass "program icon in the tray ($n blue pixels)"

stop_corvane TERM
sleep 0.5
expect_eq "icon gone after the end" 0 "$(blue_pixels)"
