#!/bin/bash
# First start with nothing stored: an upright 10x51 meter in the top right corner, white strips
# beside the drawing of the battery; the end of the session saves all twenty settings as texts,
# numbers with their leading blank. (The alarm, and the meter following the battery, are
# display_change.sh's, in the session it starts anyway.)
source "$(dirname "$0")/lib.sh"
setup
check_first_start
expect_row 1013 1023 51 "$(printf '000000 %.0s' $(seq 10))000000"
expect_row 1013 1013 25 000000
stop_corvane
# The twenty settings, all texts: those of a first save, and FullLife, whatever the system last
# reported, as a number.
expect_eq "the settings of a first save but FullLife, as texts" "$(printf '%s\n' "${FIRST_SAVE[@]}" |
    sed -n '/^FullLife=/d; s/=/|REG_SZ|/p' | sort)" "$(settings_text | grep -v '^FullLife|' | sort)"
holds "FullLife saved as a number text" grep -qxE 'FullLife\|REG_SZ\|( [0-9]+|-[1-9][0-9]*)' <<<"$(settings_text)"
