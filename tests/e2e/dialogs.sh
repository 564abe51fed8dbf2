#!/usr/bin/env bash
# The preferences dialog and the About box, opened from the tray's menu under a window manager: what
# OK, Cancel and the alarm's check do, Tab's walk, and the settings the program leaves.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
start_window_manager
start_tray
start_corvane
wait_meter
wait_icon
dialogs_walk linux
leave_chooser_up
stop_corvane TERM  # the end of the session, while the chooser waits for an answer
for kv in "ShowTop= 0" "Upright= 1" "Width= 12" "LowBound= 33" "MidBound= 66" "Position= 1" \
    "EnableAlarm= 1" "SoundFile=ding.wav"; do
    expect_eq "saved ${kv%%=*}" "${kv#*=}" "$(ini_value "${kv%%=*}")"
done
