#!/bin/bash
# Garbled settings, as a hand in the registry editor may leave them, do not stop the program: a text
# reads as the number at its front (none: 0), a value of another type as the empty text.
source "$(dirname "$0")/lib.sh"
setup

# A thickness of nothing: a meter too thin to see, but the program runs and ends as ever.
reg_add Form Width "&HZZ"
start_corvane
wait_for_windows
sleep 2
kill -0 "$CORVANE_PID" 2>/dev/null || fail "corvane.exe stopped with a garbled thickness"
end_session
grep -qx 'Width|REG_SZ| 0' <<<"$(stored Form)" || fail "thickness saved as: $(stored Form)"

reg_add Form Position abc              # 0: the upper left corner
reg_add Form Width "12abc"             # 12
reg_add Options Upright "0 but flat"   # 0: lying flat
reg_add Options BorderColor 255 REG_DWORD  # not a text: 0, black
reg_add Options BGColor " 255 (red)"
start_corvane_on_battery  # on mains at 80 %
meter=$(wait_for_meter)
expect_geometry "$meter" "0 0 51 12"
# A surface row from x = 0 to 50: the black end lines, white grid lines, the bar to x = 41 in the
# colour given, the red background after it.
surface_row() {  # bar colour
    local x
    for x in $(seq 0 50); do
        if ((x == 0 || x == 50)); then echo 000000; elif ((x % 10 == 0)); then echo FFFFFF
        elif ((x <= 41)); then echo "$1"; else echo FF0000; fi
    done | paste -sd ' '
}
screenshot_when 25 1 00FF00
black=$(printf '000000 %.0s' $(seq 50))000000
expect_row 0 50 0 "$black"
expect_row 0 50 1 "$(surface_row 00FF00)"   # the bar's upper half in the high colour
expect_row 0 50 10 "$(surface_row 0000FF)"  # its lower half in the mains colour
expect_row 0 50 11 "$black"
echo "garbled values read as their numbers: a flat 51x12 meter at 0,0, black around the red surface"
