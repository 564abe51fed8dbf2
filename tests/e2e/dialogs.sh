#!/usr/bin/env bash
# The preferences dialog and the About box, opened from the tray's menu under a window manager: what
# OK, Cancel and the alarm's check do, Tab's walk, and the settings the program leaves; then the
# desktop's dark colour scheme in the preferences dialog, the meter's colours still the user's.
source "$(dirname "$0")/lib.sh"

start_display
start_window_manager
start_tray
start_corvane
wait_meter
wait_icon
check_dialogs linux

mkdir -p "$CFG/qt6ct"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\n' >"$CFG/qt6ct/qt6ct.conf"
export QT_QPA_PLATFORMTHEME=qt6ct
start_corvane
wait_meter
wait_icon
open_preferences
screenshot
keep_shot linux-dark
# The scheme's window and base colours, and the low band's colour in its box.
expect_eq "the dark scheme's face, a text box's inside, the low colour" "222020 3D3D3D FF0F00" \
    "$(pixel $((DIALOG_X + 5)) $((DIALOG_Y + 5))) $(pixel $((DIALOG_X + 140)) $((DIALOG_Y + 52))) \
$(pixel $((DIALOG_X + 47)) $((DIALOG_Y + 214)))"
