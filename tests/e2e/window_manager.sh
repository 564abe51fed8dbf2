#!/usr/bin/env bash
# Under a real window manager: the meter keeps its place and size, has no frame, stays above other
# windows, has no taskbar or pager entry, and can still be dragged; its tooltip takes no focus and has
# no taskbar entry either.
source "$(dirname "$0")/lib.sh"

start_display
start_window_manager
start_corvane_on_battery  # on mains at 80 %: the bar from row 10
wait_meter
expect_put_back "placed and sized as without a window manager, and again after a move" "1014 0 10 51"
expect_meter "no frame: the border strips and the picture are the meter's own" "$(drawn_meter 10 00FF00 0000FF)"
states=$(xprop -id "$METER" _NET_WM_STATE)
for s in ABOVE SKIP_TASKBAR SKIP_PAGER; do
    [[ $states == *"_NET_WM_STATE_$s"* ]] || fail "window state lacks $s: $states"
    pass "window state has $s"
done

# The window manager's close command does not take the meter away behind the program's back.
xdotool windowactivate "$METER" 2>/dev/null || true
within 5 active_is "$METER" || true
expect_eq "the meter has the focus, so Alt+F4 goes to it" "$METER" "$(xdotool getactivewindow 2>/dev/null || true)"
xdotool key alt+F4
sleep 0.5
expect_eq "still shown after Alt+F4" "$METER" "$(meter_window)"

xdotool mousemove 1018 20 mousedown 1
glide 818 120
xdotool mouseup 1
expect_geometry "dragged under the window manager" "814 100 10 51"

# The tooltip comes up beside the meter without taking the focus from the user's window, and with no
# taskbar entry of its own.
xmessage -geometry 300x100+100+300 "the user's window" >/dev/null 2>&1 &
BG_PIDS+=($!)
within 5 eval 'xdotool search --onlyvisible --class Xmessage >/dev/null 2>&1' || fail "no xmessage window"
user_window=$(xdotool search --onlyvisible --class Xmessage | head -n1)
xdotool windowactivate "$user_window" 2>/dev/null || true
within 5 active_is "$user_window" || fail "the user's window has no focus"
hover_meter 818 120
expect_eq "the user's window keeps the focus" "$user_window" "$(xdotool getactivewindow 2>/dev/null || true)"
[[ $(xprop -id "$TOOLTIP" _NET_WM_STATE) == *_NET_WM_STATE_SKIP_TASKBAR* ]] || fail "the tooltip has a taskbar entry"
pass "the tooltip has no taskbar entry"
stop_corvane TERM
expect_eq "dragged place saved" " 12210" "$(saved Left)"
