#!/bin/bash
# A stored state of 1 starts with the meter hidden; any other value than 0 and 1 leaves it shown.
# Either is saved back as it was.
source "$(dirname "$0")/lib.sh"
setup

reg_add Form State 1
start_corvane
# The main window and the meter exist once start-up is through; wait past the meter's revive step
# too, which places it again but must not show it.
wait_for_windows
sleep 3
[[ -z $(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null) ]] || fail "the meter is on the screen"
kill -0 "$CORVANE_PID" 2>/dev/null || fail "corvane.exe is not running"
end_session
[[ $(stored Form | grep '^State|') == "State|REG_SZ| 1" ]] || fail "state after a hidden run: $(stored Form)"

reg_add Form State " 7"
start_corvane
meter=$(wait_for_meter)
expect_geometry "$meter" "1014 0 10 51"
end_session
[[ $(stored Form | grep '^State|') == "State|REG_SZ| 7" ]] || fail "state after a run with 7: $(stored Form)"
echo "state 1 starts hidden, state 7 shown, both kept"
