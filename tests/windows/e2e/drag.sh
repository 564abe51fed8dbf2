#!/bin/bash
# Dragging the meter with the left button moves it with the cursor and stops it at the screen's
# edges; the place it was left at is saved. A stored state the program does not know (7) leaves the
# meter shown and is saved back as it was.
source "$(dirname "$0")/lib.sh"
setup
reg_add Form State " 7"
start_corvane
wait_meter
meter=$METER
expect_put_back "in the top right corner, and again after a move" "1014 0 10 51"

# Moves the held mouse from where it is to X,Y in ten steps, as a hand would.
glide() {
    local x0 y0 i
    eval "$(xdotool getmouselocation --shell)"
    x0=$X y0=$Y
    for i in $(seq 10); do
        xdotool mousemove $((x0 + ($1 - x0) * i / 10)) $((y0 + ($2 - y0) * i / 10))
        sleep 0.05
    done
}

xdotool mousemove 1018 25
sleep 0.3
xdotool mousedown 1
sleep 0.3
glide 500 300
expect_geometry "$meter" "496 275 10 51"
glide 0 0
expect_geometry "$meter" "0 0 10 51"
glide 1023 767
expect_geometry "$meter" "1014 717 10 51"
xdotool mouseup 1
sleep 0.3
glide 600 400  # no button: the meter stays
sleep 0.5
expect_geometry "$meter" "1014 717 10 51"

end_session
form=$(stored Form)
grep -qx 'Left|REG_SZ| 15210' <<<"$form" || fail "left edge not saved: $form"
grep -qx 'Top|REG_SZ| 10755' <<<"$form" || fail "top edge not saved: $form"
grep -qx 'Position|REG_SZ| 2' <<<"$form" || fail "dragging changed the position choice: $form"
grep -qx 'State|REG_SZ| 7' <<<"$form" || fail "state 7 not saved back as it was: $form"
echo "state 7 shown; dragged, stopped at the edges, saved at 1014,717"
