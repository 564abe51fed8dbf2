#!/usr/bin/env bash
# The preferences dialog and the About box, opened from the tray's menu under a window manager: what
# OK, Cancel and the alarm's check do, Tab's walk, and the settings the program leaves.
source "$(dirname "$0")/lib.sh"

start_display
start_window_manager
start_tray
start_corvane
wait_meter
wait_icon
check_dialogs linux
