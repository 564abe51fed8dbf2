#!/bin/bash
# The preferences dialog and the About box of corvane.exe, opened from the tray's menu under a window
# manager: what OK, Cancel and the alarm's check do, Tab's walk, and the settings left in the registry.
source "$(dirname "$0")/lib.sh"
setup
check_dialogs wine
