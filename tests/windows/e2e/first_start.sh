#!/bin/bash
# First start with nothing stored: an upright 10x51 meter in the top right corner, white strips
# beside the drawing of the battery; the end of the session saves all twenty settings as texts,
# numbers with their leading blank.
source "$(dirname "$0")/lib.sh"
setup
start_corvane_on_battery  # on mains at 80 %
wait_meter
expect_geometry "meter at the top right, 10x51" "1014 0 10 51"
expect_first_picture
expect_row 1013 1023 51 "$(printf '000000 %.0s' $(seq 10))000000"
expect_row 1013 1013 25 000000

# Alt+F4 on the meter is the window system's close, which the meter refuses. The click makes it the
# window the keys go to; a hidden window would be off the X screen within about two seconds (Wine
# waits that long for a window manager that is not there).
xdotool mousemove 1018 25 click 1
sleep 0.5
xdotool key alt+F4
sleep 3
expect_eq "the meter after Alt+F4" "$METER" "$(meter_window)"
program_ended && fail "corvane.exe ended on Alt+F4"
pass "Alt+F4 leaves the meter shown"

stop_corvane
expect_eq "twenty settings, all texts" "20 20" "$(settings_text | wc -l) $(settings_text | grep -c '|REG_SZ|')"
for kv in "${FIRST_SAVE[@]}"; do
    # FullLife is whatever the system last reported.
    if [[ $kv == *=* && $kv != FullLife=* ]]; then expect_saved "$kv"; fi
done
[[ $(saved FullLife) =~ ^(\ [0-9]+|-[1-9][0-9]*)$ ]] || fail "FullLife is not a number text: '$(saved FullLife)'"
pass "FullLife saved as a number text"
