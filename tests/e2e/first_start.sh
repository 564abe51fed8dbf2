#!/usr/bin/env bash
# First start on an empty configuration, the settings written at the end, and read back next time.
source "$(dirname "$0")/lib.sh"

start_display
check_first_start
stop_corvane TERM
expected=$(printf '%s\n' "${FIRST_SAVE[@]}")
expect_eq "the twenty keys in save order, as decimal texts" "$expected" "$(cat "$INI")"

# A second start reads the file back, with values changed in it: flat in the upper left, 14 thick, red
# border. Ended by SIGINT this time, it writes the same file again, the changed values in its own form.
sed -i -e 's/^Position=.*/Position=0/' -e 's/^Upright=.*/Upright=0/' -e 's/^Width=.*/Width=14/' \
    -e 's/^BorderColor=.*/BorderColor=\&HFF\&/' "$INI"
start_meter_at "flat meter in the upper left" "0 0 51 14" "${ON_BATTERY[@]}" --
# The strips around the surface and its end lines take the border colour.
expect_flat_meter 14 FF0000 808080
stop_corvane INT
expect_eq "second start: the same settings saved, the changed ones as decimal texts" \
    "$(sed -e 's/^Position=.*/Position= 0/' -e 's/^Left=.*/Left= 0/' -e 's/^Upright=.*/Upright= 0/' \
        -e 's/^Width=.*/Width= 14/' -e 's/^BorderColor=.*/BorderColor= 255/' <<<"$expected")" "$(cat "$INI")"
