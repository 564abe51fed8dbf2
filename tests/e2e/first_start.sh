#!/usr/bin/env bash
# First start on an empty configuration, the settings written at the end, and read back next time.
source "$(dirname "$0")/lib.sh"

check_first_start
stop_corvane TERM
expect_eq "the twenty keys in save order, as decimal texts" "$(printf '%s\n' "${FIRST_SAVE[@]}")" "$(cat "$INI")"

# A second start reads the file back, with values changed in it: flat in the upper left, 14 thick, red
# border. Ended by SIGINT this time, it saves again, the changed values in its own form. (That the rest
# of the file is saved as it was, in its order, is IniStore's and Settings' round trips'.)
sed -i -e 's/^Position=.*/Position=0/' -e 's/^Upright=.*/Upright=0/' -e 's/^Width=.*/Width=14/' \
    -e 's/^BorderColor=.*/BorderColor=\&HFF\&/' "$INI"
start_meter_at "flat meter in the upper left" "0 0 51 14" "${ON_BATTERY[@]}" --
# The strips around the surface and its end lines take the border colour.
expect_flat_meter 14 FF0000 808080
stop_corvane INT
expect_saved "Position= 0" "Left= 0" "Upright= 0" "Width= 14" "BorderColor= 255"
