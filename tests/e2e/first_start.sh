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
# The surface is rows 1 to 12, its lower half (from row 7) in the mains colour; the strips around it
# and its end lines take the border colour.
screenshot_when 25 1 00FF00
for r in "0 FF0000" "1 FF0000 00FF00 808080" "6 FF0000 00FF00 808080" "7 FF0000 0000FF 808080" \
    "12 FF0000 0000FF 808080" "13 FF0000"; do
    expect_row 0 50 "${r%% *}" "$(flat_row ${r#* })"
done
stop_corvane INT
expect_eq "second start: the same settings saved, the changed ones as decimal texts" \
    "$(sed -e 's/^Position=.*/Position= 0/' -e 's/^Left=.*/Left= 0/' -e 's/^Upright=.*/Upright= 0/' \
        -e 's/^Width=.*/Width= 14/' -e 's/^BorderColor=.*/BorderColor= 255/' <<<"$expected")" "$(cat "$INI")"
