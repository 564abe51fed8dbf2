#!/bin/bash
# The preferences dialog and the About box of corvane.exe, opened from the tray's menu under a window
# manager: what OK, Cancel and the alarm's check do, Tab's walk, and the settings left in the registry.
source "$(dirname "$0")/lib.sh"
setup
start_window_manager
start_tray
start_corvane
METER=$(wait_for_meter)
wait_icon
dialogs_walk wine
leave_chooser_up
end_session  # while the chooser waits for an answer
settings=$(stored Form; stored Options)
for kv in "ShowTop| 0" "Upright| 1" "Width| 12" "LowBound| 33" "MidBound| 66" "Position| 1" \
    "EnableAlarm| 1" "SoundFile|ding.wav"; do
    grep -qx "${kv%%|*}|REG_SZ|${kv#*|}" <<<"$settings" || fail "saved ${kv%%|*}: $(grep "^${kv%%|*}|" <<<"$settings")"
    pass "saved ${kv%%|*}"
done
