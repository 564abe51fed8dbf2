# What the end-to-end tests of both programs share (the Linux one, and the Windows one under Wine):
# reporting, a private Xvfb screen, waiting for the window system, what a user sees of the meter, and
# cleaning up. Sourced by tests/e2e/lib.sh and tests/windows/e2e/lib.sh once they have set WORK (the
# test's own folder, removed at the end) and PROGRAM_LOG (where the program's output goes). Each lib
# defines the same few verbs for its program, which the checks here use: run_corvane [PREFIX...] (the
# program started in the background, behind the command prefix), stop_corvane (the program asked to
# end, as its system asks, and ended cleanly), saved KEY (a setting's text as the program left it),
# settings_text (all of them), choose ITEM (from the icon's menu), and on_cleanup if it has more to
# end first.

BG_PIDS=()  # background processes of the test's own, ended at the end
background() { "$@" & BG_PIDS+=($!); }  # command...: started in the background, ended at the end
CORVANE_PID=
METER=  # the meter's X window, once wait_meter has seen it
METER_MISSING_AT=$EPOCHREALTIME  # when the meter was last seen not yet shown, or the program started

# ImageMagick itself, not a wrapper that may stand before it on the PATH.
CONVERT=$(command -v /usr/bin/convert || command -v convert)

declare -F on_cleanup >/dev/null || on_cleanup() { :; }  # a lib with more to end first defines its own
cleanup() { on_cleanup; kill "${BG_PIDS[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -s ${PROGRAM_LOG:-} ]]; then tail -n 40 "$PROGRAM_LOG" | sed 's/^/  program: /' >&2; fi
    exit 1
}
pass() { echo "ok - $*"; }

# A command that fails where nothing checks it ends the test (set -e): it says which, rather than
# ending the test without a word. Only in the test's own shell: a subshell's failure is its caller's.
set -E
trap 'status=$?; ((BASH_SUBSHELL)) || fail "status $status from: $BASH_COMMAND (${BASH_SOURCE[0]##*/} line $LINENO${FUNCNAME:+, in ${FUNCNAME[*]}})"' ERR

expect_eq() { [[ $2 == "$3" ]] || fail "$1: expected '$2', got '$3'"; pass "$1"; }  # what, expected, actual

# The window system and the programs work asynchronously: checks wait for what they expect, for a
# while, instead of pausing for a fixed time. Every wait is its time at rest with room to spare, times
# the slowness factor (how many times slower the machine is now: see scripts/test-slowness; 1 when unset).
SLOWNESS=${CORVANE_TEST_SLOWNESS:-1}
[[ $SLOWNESS =~ ^[1-9][0-9]*$ ]] || fail "CORVANE_TEST_SLOWNESS is a whole number from 1, not '$SLOWNESS'"

within() {  # seconds, command...: runs the command every tenth of a second until it succeeds, for up to SECONDS x SLOWNESS
    local end=$((${EPOCHREALTIME//[!0-9]/} + $1 * SLOWNESS * 1000000))
    until "${@:2}"; do
        ((${EPOCHREALTIME//[!0-9]/} <= end)) || { echo "waited $(($1 * SLOWNESS)) s for: ${*:2}" >&2; return 1; }
        sleep 0.1
    done
}

# A check that the command makes: at once, or within SECONDS (times the factor), saying what it waited for.
holds() { "${@:2}" || fail "not so: $1"; pass "$1"; }  # what, command...
holds_within() { holds "$2" within "$1" "${@:3}"; }  # seconds, what, command...

# The whole test's own time limit, under ctest's: a test stuck in a command that does not return still
# ends, saying where it was, and cleans up. Each lib's on_cleanup ends what may hold the command up.
# A longer test sets TEST_SECONDS, its time at rest with room to spare, before sourcing its lib.
WATCHDOG=$((${TEST_SECONDS:-150} * SLOWNESS))
trap 'fail "no end after $WATCHDOG s, stuck in ${FUNCNAME[*]:-the test}: $BASH_COMMAND"' TERM
(
    trap 'kill $! 2>/dev/null; exit' TERM
    sleep "$WATCHDOG" &
    wait $!
    kill -TERM $$
    on_cleanup
    pkill -TERM -P $$
) </dev/null >/dev/null 2>&1 &
BG_PIDS+=($!)

start_corvane() { METER_MISSING_AT=$EPOCHREALTIME; run_corvane "$@"; CORVANE_PID=$!; }  # [command prefix...]
program_ended() { ! kill -0 "$CORVANE_PID" 2>/dev/null; }
# A process of the test's that is to end by itself within 20 s (times the factor): sets STATUS, its
# exit status.
ends_by_itself() {  # pid, what
    within 20 eval "! kill -0 $1 2>/dev/null" || { kill "$1"; fail "$2: still running"; }
    STATUS=0
    wait "$1" || STATUS=$?
}
ends_with() { ends_by_itself "$CORVANE_PID" "the program after $2" && expect_eq "exit status after $2" "$1" "$STATUS"; }  # status, after what

# An X server of the test's own, as DISPLAY. It picks a free display number itself, so tests run side
# by side. Without -noreset the server resets when its last client leaves, and a program started again
# at once may find no display.
x_server() {  # seconds to start at most, command...
    background "${@:2}" -displayfd 3 -noreset -nolisten tcp 3>"$WORK/display" >/dev/null 2>"$WORK/x.log"
    within "$1" test -s "$WORK/display" || fail "$2 did not start: $(tail -n 5 "$WORK/x.log")"
    export DISPLAY=":$(head -n1 "$WORK/display")"
}
start_display() { x_server 10 Xvfb -screen 0 1024x768x24; }  # 1024x768, the screen every check's places are on

# A command's output is searched whole, from a here-string, never through "| grep -q": under pipefail
# the command dies of SIGPIPE when grep leaves at the first match, and the search fails on a busy machine.
window_manager_runs() { grep -q "window id" <<<"$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)"; }
start_window_manager() { background openbox --sm-disable >/dev/null 2>&1 && within 10 window_manager_runs || fail "openbox did not start"; }

titled() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true; }  # title pattern
found() { printf -v "$1" %s "$(titled "$2")" && [[ -n ${!1} ]]; }  # variable, title pattern: that window, once shown
gone_titled() { [[ -z $(titled "$1") ]]; }
# Another program's window (xmessage's), started with the test's others: sets OTHER once it is shown.
other_window() { background xmessage -geometry "$@" "another window" >/dev/null 2>&1 && within 5 found OTHER '^xmessage$'; }  # WxH+X+Y, options...
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }  # window: has the keyboard

# The meter is the program's one visible window titled "Corvane".
visible_meters() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | wc -l; }

meter_shown() {
    local asked=$EPOCHREALTIME
    found METER '^Corvane$' && return 0
    METER_MISSING_AT=$asked  # the meter appeared after this: see expect_put_back
    program_ended && fail "the program ended early"
    return 1
}

wait_meter() { within 30 meter_shown || fail "no meter window appeared"; }  # sets METER
start_meter() { start_corvane "$@" && wait_meter; }  # [command prefix...]: a start, once its meter is shown

start_meter_at() { start_meter "${@:3}" && expect_geometry "$1" "$2"; }  # what, "x y width height", [command prefix...]: a start and where its meter stands

# "x y width height" of an X window, in pixels
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                      /  Width:/ {w=$NF} /  Height:/ {h=$NF} END {print x, y, w, h}'; }

geometry_is() { GEOMETRY=$(geometry "$1") && [[ $GEOMETRY == "$2" ]]; }

# window, what, "x y width height": once it is that, or as it is after 5 s
expect_geometry_of() { within 5 geometry_is "$1" "$3" || true; expect_eq "$2" "$3" "$GEOMETRY"; }
expect_geometry() { expect_geometry_of "$METER" "$@"; }  # what, "x y width height": the meter's

# The meter puts itself in its place once more, two seconds after it appears (ten ticks of its own
# timer, which a coarse timer may bring forward by a twentieth). Moved away by the window system before
# that, it must come back. A move that may have come later, on a machine too busy to see the meter
# appear in time, proves nothing either way: the test says so and puts the meter back itself.
expect_put_back() {  # what, "x y width height": its place
    xdotool windowmove "$METER" 300 300
    local x y ms=$(((${EPOCHREALTIME//[!0-9]/} - ${METER_MISSING_AT//[!0-9]/}) / 1000)) where="put back in its place"
    if ((ms >= 1500)); then
        echo "not checked: $1 (moved $ms ms after the meter was last seen missing)"
        read -r x y _ <<<"$2"
        xdotool windowmove "$METER" "$x" "$y"
        where="where it was moved back"
    fi
    within 10 geometry_is "$METER" "$2" || fail "$1: not $where, but at $GEOMETRY"
    ((ms >= 1500)) || pass "$1"
}

# Moves the mouse from where it is to X,Y in ten steps, as a hand would (a button held or not).
glide() {  # x y
    local i X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    for i in {1..10}; do xdotool mousemove $((X + ($1 - X) * i / 10)) $((Y + ($2 - Y) * i / 10)) sleep 0.05; done
}

# The program reads each press and move where it happened, however late it handles them. The press
# waits for the meter under the pointer: the tooltip follows a dragged meter at its next tick, up to
# half a second late, and may stand until then where the meter has just gone.
press_on_meter() {  # x y: the left button pressed there, and held
    xdotool mousemove "$1" "$2"
    within 5 pointer_on_meter || fail "the press at $1,$2 would land on window $WINDOW, not on the meter $METER"
    xdotool mousedown 1
}
drag() { press_on_meter "$1" "$2" && glide "$3" "$4" && xdotool mouseup 1; }  # from x y to x y
# The window under the pointer is the meter, or the frame a window manager put around it, which has
# the meter's place and size.
pointer_on_meter() { eval "$(xdotool getmouselocation --shell)" && [[ $(geometry "$WINDOW") == "$(geometry "$METER")" ]]; }

# Settings that cannot be read fail as such, not as empty texts.
expect_saved() {  # KEY=TEXT...: the settings' texts as the program left them (numbers with their leading blank)
    local kv text
    for kv; do
        text=$(saved "${kv%%=*}") || fail "saved ${kv%%=*}: the settings could not be read"
        expect_eq "saved ${kv%%=*}" "${kv#*=}" "$text"
    done
}

# What a first start saves, section by section in the order it saves them.
FIRST_SAVE=("[Form]" "Position= 2" "Left= 15210" "Top= 0" "Width= 10" "State= 0" "" "[Options]" "ShowTop= 1"
    "Upright= 1" "LowBound= 25" "MidBound= 50" "EnableAlarm= 0" "SoundFile=" "ShowHelp= 1" "FullLife=-1"
    "LowColor= 4095" "MidColor= 65535" "HighColor= 65280" "ACColor= 16711680" "BGColor= 8421504"
    "GridColor= 16777215" "BorderColor= 16777215")

screenshot() { import -window root "$WORK/shot.png"; }
pixel() { "$CONVERT" "$WORK/shot.png" -format "%[hex:p{$1,$2}]" info:; }  # RRGGBB

# A part of the last screenshot, WxH+X+Y: one line of RRGGBB words a row.
picture() {
    "$CONVERT" "$WORK/shot.png" -crop "$1" +repage -depth 8 txt:- |
        awk 'NR > 1 {split($1, p, /[,:]/); rows[p[2]] = rows[p[2]] (p[1] ? " " : "") substr($3, 2, 6)}
             END {for (y = 0; y in rows; y++) print rows[y]}'
}
row() { picture "$(($2 - $1 + 1))x1+$1+$3"; }  # the colours of pixels X1..X2 of row Y, as RRGGBB words

expect_row() { expect_eq "pixels $1..$2 of row $3" "$4" "$(row "$1" "$2" "$3")"; }  # x1 x2 y "RRGGBB ...": the last screenshot's row

shows() { screenshot && [[ $(pixel "$1" "$2") == "$3" ]]; }

# The meter's picture, from its place METER_AT (WxH+X+Y) as a screenshot shows it: one line of RRGGBB
# words a row. PICTURE is what it shows. METER_AT is where it first appears, upright and 10x51 at the
# top right of a 1024-wide screen, unless a check says another.
shows_meter() { screenshot && PICTURE=$(picture "${METER_AT:-10x51+1014+0}") && [[ $PICTURE == "$1" ]]; }

# A flat meter at 0,0 on mains at 80 %, THICKNESS pixels thick, once painted: the border strips above
# and below the surface and its end lines, and on the surface the grid on every tenth pixel, the bar to
# x = 41 (41 of 51 pixels: 80 %) in the high colour over its upper half and the mains colour over its
# lower half, and the background after it.
expect_flat_meter() { METER_AT=51x$1+0+0 expect_meter "a flat meter, $1 thick, border $2, background $3" "$(flat_meter "$@")"; }
flat_meter() {  # thickness border-colour background-colour
    local x y lower=$((1 + ($1 - 2) / 2))
    for ((y = 0; y < $1; y++)); do
        for x in {0..50}; do
            if ((y == 0 || y == $1 - 1 || x == 0 || x == 50)); then echo "$2"; elif ((x % 10 == 0)); then echo FFFFFF
            elif ((x > 41)); then echo "$3"; elif ((y < lower)); then echo 00FF00; else echo 0000FF; fi
        done | paste -sd ' '
    done
}

# What the upright meter shows in the default colours, one line a row: the border strip, the eight
# pixels of the surface, the border strip; the grid on every tenth row over the bar, which runs
# from row TOP to the bottom with its left and right halves in the colours given, and the grey
# background above the bar. A TOP of 51 is no bar at all.
drawn_meter() {  # top left-colour [right-colour]
    local y l r
    for y in {0..50}; do
        if ((y % 10 == 0)); then l=FFFFFF r=FFFFFF; elif ((y >= $1)); then l=$2 r=${3:-$2}; else l=808080 r=808080; fi
        echo "FFFFFF $l $l $l $l $r $r $r $r FFFFFF"
    done
}

expect_meter() {  # what, picture, [seconds: 5]: takes screenshots until the meter shows it
    within "${3:-5}" shows_meter "$2" ||
        fail "$1: the meter's rows differ (< shown, > expected):
$(diff <(echo "$PICTURE") <(echo "$2") | grep '^[<>]')"
    pass "$1"
}

# The first start, over nothing stored, on mains at 80 %: the meter at the top right, 10x51, as it
# first appears (41 of the 51 rows: the bar from row 10, its right half in the mains colour), and again
# after another window covered it for a moment. The program is left running.
check_first_start() {
    start_meter_at "meter at the top right, 10x51" "1014 0 10 51" "${ON_BATTERY[@]}" --
    expect_meter "the bar between the white border strips" "$(drawn_meter 10 00FF00 0000FF)"
    other_window 64x80+960+0 -bg black -fg black || true
    sleep 0.3
    kill "$!"
    expect_meter "uncovered: the same picture" "$(drawn_meter 10 00FF00 0000FF)"
}

# A fake adapter and battery that the program reads instead of the machine's, kept in $WORK/battery so
# that set_battery changes them while it runs. Both programs read it: the Linux one from sysfs, the
# Windows one through Wine's GetSystemPowerStatus; expect_meter_follows_battery sees each of them
# follow what set_battery changes from outside.
FAKEBATTERY=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../../tools/fakebattery")
ON_BATTERY=("$FAKEBATTERY/with-fake-battery" --dir "$WORK/battery")  # a command prefix, then its options
set_battery() { "$FAKEBATTERY/set-fake-battery" "$WORK/battery" "$@"; }  # --ac 0|1 --percent N

# What both programs draw of the fake battery, started low on it: the low bar blinking under the grid,
# the high bar at 57 %, and its mains half once plugged in.
expect_meter_follows_battery() {
    # 20 % of the 51 rows, rounded, is 10: the bar fills rows 41 to 50 in the low colour.
    expect_meter "low: the bar under the grid" "$(drawn_meter 41 FF0F00)"
    expect_meter "low: the bar wiped a second later, the grid still there" "$(drawn_meter 51)"
    expect_meter "low: the bar back again" "$(drawn_meter 41 FF0F00)"
    # 57 % is 29 rows: the bar from row 22.
    set_battery --percent 57
    expect_meter "57 % on battery: the high bar from row 22 under the grid" "$(drawn_meter 22 00FF00)"
    set_battery --ac 1
    expect_meter "plugged in: the bar's right half in the mains colour" "$(drawn_meter 22 00FF00 0000FF)"
}

# ---- The tray, the menu and the tooltip ----

TRAY_X=904 TRAY_Y=736  # the stand-alone tray's place: 120 x 32 pixels in the bottom right corner

# A small stand-alone tray along the bottom edge, as a desktop panel would have.
start_tray() {
    background trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 --transparent false \
        --tint 0x303030 >"$WORK/trayer.log" 2>&1
    TRAY_PID=${BG_PIDS[-1]}
    within 10 lit $((TRAY_X + 60)) $((TRAY_Y + 16)) ||
        fail "trayer did not start ($(kill -0 "${BG_PIDS[-1]}" 2>/dev/null && echo "still running" || echo "it ended"): $(tail -n 3 "$WORK/trayer.log"))"
}
lit() { screenshot && [[ $(pixel "$1" "$2") != 000000 ]]; }  # x y: something stands there over the black root

# The program's icon is the only strongly blue thing in the tray: its pixels' count, and the middle of
# their bounding box as "x y" on the screen.
blue_in_tray() { "$CONVERT" "$WORK/shot.png" -crop "120x32+$TRAY_X+$TRAY_Y" +repage -fx 'b > 0.5 && b > r + 0.25 ? 1 : 0' "$@"; }
icon_pixels() { screenshot && blue_in_tray -format '%[fx:round(mean * w * h)]' info:; }
wait_icon() { holds_within 15 "program icon in the tray" eval '(($(icon_pixels) > 40))'; }
icon_spot() {  # "x y": where to point at the icon
    screenshot && blue_in_tray -trim -format "%[fx:$TRAY_X + page.x + round(w / 2)] %[fx:$TRAY_Y + page.y + round(h / 2)]" info:
}

# The tray takes a moment to show an icon whole: it is counted once two looks agree.
tray_icon_settled() { local first; first=$(icon_pixels) && sleep 0.3 && TRAY_ICON=$(icon_pixels) && ((first > 40 && first == TRAY_ICON)); }

# The icon's tip: a box just above the tray, the width of its text, over the black root window.
# "Battery status" is under 100 pixels wide; the status line on battery at 57 % is well over 200.
tip_is_status_line() { screenshot && (($("$CONVERT" "$WORK/shot.png" -crop 1024x10+0+724 +repage -fuzz 0 -trim -format '%w' info: 2>/dev/null) > 200)); }

# The menu pops up at the cursor; near the bottom right corner it opens up and to the left, over the
# black root window, so a spot up-left of the cursor shows whether it is there (higher than the icon's
# tip, which may stand just above the cursor).
menu_up() { lit $(($1 - 12)) $(($2 - 40)); }
menu_gone() { ! menu_up "$@"; }

open_icon_menu() { MENU_SPOT=$(icon_spot) && right_click $MENU_SPOT && within 5 menu_up $MENU_SPOT || fail "no menu after a right click on the icon"; }
right_click() { xdotool mousemove "$1" "$2" && sleep 0.2 && xdotool click 3; }  # x y, once the pointer rests there
from_icon_menu() { open_icon_menu && choose "$1"; }  # item: as choose

# The lib of each program defines choose ITEM (hide, preferences, help, about or exit), from the keyboard.
menu_closed() { within 5 menu_gone $MENU_SPOT || fail "the menu stayed up after choosing"; }

# Takes a screenshot and keeps it under CORVANE_E2E_SHOTS, when set, for a person to look at.
keep_shot() { screenshot; [[ -z ${CORVANE_E2E_SHOTS:-} ]] || { mkdir -p "$CORVANE_E2E_SHOTS" && cp "$WORK/shot.png" "$CORVANE_E2E_SHOTS/$1.png"; }; }  # name

# A browser of the test's own, first on the PATH: it writes down what it was asked to open.
fake_browser() {
    mkdir -p "$WORK/bin" && printf '#!/bin/sh\necho "$@" >>"%s"\n' "$WORK/opened" >"$WORK/bin/xdg-open" && chmod +x "$WORK/bin/xdg-open"
    export PATH="$WORK/bin:$PATH"
}
opened() { [[ -s $WORK/opened ]] && cat "$WORK/opened"; }

# Points at the meter and waits for the tooltip beside it: the program's window titled "ToolTip"
# (found as TOOLTIP).
hover_meter() { hover "$1" "$2" && within 5 found TOOLTIP '^ToolTip$' || fail "no tooltip while the mouse is over the meter"; }  # x y
hover() { xdotool mousemove "$1" "$2" && sleep 0.1 && xdotool mousemove_relative 1 0; }  # x y: a move and a stir, as a hand's

# The tooltip's size for the status text on battery at 57 % in the first minute (" Elapsed: 0 min ",
# " Energy level: 57 % ", " Acquiring data... "), in Arial 9 pt (Liberation Sans) at 96 DPI: both
# programs lay the text out in the same whole pixels, so this is what each of them shows.
TOOLTIP_SIZE_DC57="108 44"

# The tooltip of the meter standing at x y (10x51), at the size both programs share: 3 pixels beside it,
# toward the middle of its monitor, its top 3 pixels below the meter's top in the upper half, its bottom
# 3 pixels above the meter's bottom in the lower half; pale yellow, the outline on its outermost pixels,
# and glyphs inside; and gone once the mouse leaves the meter.
expect_tooltip_beside() {  # screenshot name, what, meter x y, "left" or "right", "upper" or "lower"
    hover_meter $(($3 + 5)) $(($4 + 25))
    local x y w h mid edge px py dx dy ink
    read -r w h <<<"$TOOLTIP_SIZE_DC57"
    if [[ $5 == left ]]; then x=$(($3 - 3 - w)); else x=$(($3 + 10 + 3)); fi
    if [[ $6 == upper ]]; then y=$(($4 + 3)); else y=$(($4 + 51 - 3 - h)); fi
    expect_geometry_of "$TOOLTIP" "$2: the tooltip $5 of the meter, in its $6 half" "$x $y $w $h"
    keep_shot "$1"
    mid=$((y + h / 2))
    for edge in "left edge:$x $mid 1 0" "right edge:$((x + w - 1)) $mid -1 0" "top:$((x + 2)) $y 0 1" \
        "bottom:$((x + 2)) $((y + h - 1)) 0 -1"; do
        read -r px py dx dy <<<"${edge#*:}"
        expect_eq "outline and pale yellow at the ${edge%%:*}" "000000 FFFF80" "$(pixel $px $py) $(pixel $((px + dx)) $((py + dy)))"
    done
    ink=$("$CONVERT" "$WORK/shot.png" -crop "$((w - 4))x$((h - 4))+$((x + 2))+$((y + 2))" +repage \
        -fx 'lightness < 0.5 ? 1 : 0' -format '%[fx:round(mean * w * h)]' info:)
    holds "$2: text in the tooltip ($ink dark pixels)" test "$ink" -gt 300
    xdotool mousemove 600 400
    holds_within 2 "$2: the tooltip goes when the mouse leaves the meter" gone_titled '^ToolTip$'
}

# At the top of the screen the meter's menu opens downward, to the left of the cursor.
meter_menu_up() { lit 990 60; }

# A tray, empty at first, and the program started on battery at 57 % (the fake battery), its icon
# docked there, and the meter in the upper right corner. Then both tips: the icon's carries the status
# line once the first tick has read the battery (a tip already up keeps its text). Pointing at the
# meter shows the tooltip 3 pixels to its left, its top 3 pixels below the meter's, at the size both
# programs share, pale yellow, outlined and with text; moving away hides it; a right click on the
# meter hides it and opens the menu, which is left open.
check_tips() {  # prefix of the screenshots to keep
    start_tray
    expect_eq "empty tray has no icon" 0 "$(icon_pixels)"
    start_meter "${ON_BATTERY[@]}" --ac 0 --percent 57 --
    wait_icon
    within 5 shows 1016 45 00FF00 || fail "no green bar: the battery has not been read"
    hover $(icon_spot)
    holds_within 5 "the tip over the icon shows the status line" tip_is_status_line
    keep_shot "$1-tray-tip"

    expect_tooltip_beside "$1-tooltip" "the status text's size" 1014 0 left upper
    hover_meter 1018 25
    xdotool click 3
    within 1 gone_titled '^ToolTip$' || fail "the tooltip stayed up with the menu"
    holds_within 5 "a right click on the meter hides the tooltip and opens the menu" meter_menu_up
}

# Without a window manager, the keyboard alone: Esc closes a menu (the one check_tips left open, or a
# new one on the meter), and the About box takes the keyboard as it opens: Enter closes it.
check_keyboard_alone() {
    meter_menu_up || xdotool mousemove 1018 25 click 3
    within 5 meter_menu_up || fail "no menu on the meter"
    xdotool mousemove 500 400 key Escape
    within 5 eval '! meter_menu_up' || fail "Esc left the meter's menu open"
    open_icon_menu
    xdotool mousemove 100 100
    choose about
    wait_dialog 'About Corvane$'
    closes 'About Corvane$' "without a window manager, Enter" xdotool key Return
}

# The icon's menu, its screenshot kept: "Hide Battery Meter" hides the meter, "Help Topics" has the
# browser asked to open the help, and "Exit" ends the program, cleanly, taking the icon along and
# saving the meter as hidden.
check_icon_menu() {  # name of the screenshot to keep, the URL the browser must be given
    open_icon_menu
    keep_shot "$1"
    xdotool mousemove 300 300  # the keys reach the menu wherever the pointer is
    closes '^Corvane$' "Hide Battery Meter" choose hide
    from_icon_menu help
    within 10 opened >/dev/null || fail "no browser was asked to open the help"
    expect_eq "the browser opens the help page beside the program" "$2" "$(opened)"
    from_icon_menu exit
    ends_with 0 Exit
    expect_eq "icon gone after Exit" 0 "$(icon_pixels)"
    expect_saved "State= 1"
}

# One running copy, from a stored hidden meter and no copy running: a start keeps the meter hidden; a
# second start ends by itself, silent, and shows the meter in its place; a third adds no meter, no icon
# and no window; the meter is saved as shown.
check_one_copy() {  # command...: the program started again as a user would
    start_corvane
    within 15 tray_icon_settled ||
        fail "no program icon in the tray: $(icon_pixels) of its pixels, the program $(program_ended && echo ended || echo runs)"
    # A program may show a hidden meter for a moment at start; it must be gone, and stay gone.
    within 5 eval '((! $(visible_meters)))' || fail "the next start shows the meter"
    sleep 1
    expect_eq "the next start keeps the meter hidden" 0 "$(visible_meters)"
    answers "second start with the meter hidden" 0 "" "" "$@"
    wait_meter
    expect_geometry "the hidden meter is shown in its place" "1014 0 10 51"
    answers "third start with the meter shown" 0 "" "" "$@"
    sleep 0.5
    expect_eq "one meter" 1 "$(visible_meters)"
    local now
    now=$(icon_pixels)  # not a second icon beside the one counted at start
    holds "one icon: $now blue pixels in the tray, $TRAY_ICON for one" eval "((now > 40 && now < TRAY_ICON * 3 / 2))"
    expect_eq "two windows of one copy: the main form's and the meter's" 2 \
        "$(xdotool search --name '^Corvane$' 2>/dev/null | wc -l)"
    stop_corvane
    expect_eq "shown by the second start, saved as shown" " 0" "$(saved State)"
}

# The command line's answers as each program writes them: --version and --help on standard output
# with status 0, an unknown option or an argument the usage on standard error with status 2; an answer
# that could not be written ends with status 1 and says why. It leaves the settings as they were.
# (Which words give which answer, -h among them, and the escaping of what a terminal would act on are
# CommandLine.SwitchesAnswerAndEndInOrderAnythingElseIsRefused's.)
check_command_line() {  # command...: the program as the test starts it
    local usage before rc=0
    before=$(settings_text) || fail "the settings could not be read"
    usage=$("$@" --help </dev/null 2>>"$WORK/usage.err") || fail "--help: $(cat "$WORK/usage.err")"
    [[ $usage == "Usage: corvane [--help | --version]"* ]] || fail "usage: $usage"
    answers "--version" 0 "Corvane 2.2" "" "$@" --version
    answers "--help" 0 "$usage" "" "$@" --help
    answers "an unknown option" 2 "" "corvane: unknown option '--bogus'"$'\n'"$usage" "$@" --bogus
    answers "an argument" 2 "" "corvane: takes no arguments, found '/?'"$'\n'"$usage" "$@" /?
    "$@" --help </dev/null >/dev/full 2>"$WORK/err" || rc=$?
    expect_eq "--help to a full disk: exit status" 1 "$rc"
    grep -q '^corvane: write error: ' "$WORK/err" || fail "--help to a full disk: $(cat "$WORK/err")"
    expect_eq "the command line leaves the settings untouched" "$before" "$(settings_text)"
}

# A start beside a running copy (one to end by itself, silent) or one that only answers: it must end
# by itself, with the status and texts given.
answers() {  # what, exit status, standard output, standard error, command...
    "${@:5}" </dev/null >"$WORK/out" 2>"$WORK/err" &
    ends_by_itself $! "$1"
    expect_eq "$1: exit status|standard output|standard error" "$2|$3|$4" "$STATUS|$(cat "$WORK/out")|$(cat "$WORK/err")"
}

# ---- The preferences dialog and the About box ----------------------------------------------------
# Both programs draw the dialogs from the same places in twips: at 15 twips a pixel, a control's spot
# in the dialog's client area is the same number of pixels in both.

# Under a window manager, a dialog takes the keyboard once it is up: keys are sent after that.
wait_dialog() {  # title pattern: sets DIALOG, its client area's place DIALOG_X DIALOG_Y and size
    within 10 found DIALOG "$1" || fail "no window titled '$1'"
    read -r DIALOG_X DIALOG_Y DIALOG_W DIALOG_H <<<"$(geometry "$DIALOG")"
    ! window_manager_runs || within 5 active_is "$DIALOG" || fail "the window titled '$1' did not take the keyboard"
}

# A window (a dialog, the meter) closed by the command (a click on a button, keys): gone within 5 s.
closes() { "${@:3}"; holds_within 5 "$2 closes the window titled '$1'" gone_titled "$1"; }  # title pattern, what, command...
click_in_dialog() { while (($#)); do xdotool mousemove $((DIALOG_X + $1)) $((DIALOG_Y + $2)) click 1 && shift 2; done; }  # x y...

# Spots in the preferences dialog's client area, from the controls' places in twips.
UPRIGHT_SPOT="152 16"  # chkUpright
ALARM_SPOT="37 258"    # chkAlarmEnabled in fraAlarm
PLUS_SPOT="267 130"    # imgPlus in fraWidth
OK_SPOT="124 323"      # cmdOK
CANCEL_SPOT="188 323"  # cmdCancel
# The white Border colour box, picColor(6) in fraColor, with the focus mark dotted in black one pixel
# inside its edge.
border_box_marked() { screenshot && [[ $(row $((DIALOG_X + 237)) $((DIALOG_X + 238)) $((DIALOG_Y + 207))) == *000000* ]]; }

# The dark pixels of a part of the last screenshot, as 1s on black: text and lines.
ink() { "$CONVERT" "$WORK/shot.png" -crop "$3x$4+$1+$2" +repage -colorspace gray -threshold "${5:-50}%" -negate png:-; }  # x y w h [lightness %]

# A text box's whole text is shown beside its label: its ink starts within the box's first 12 pixels
# (a blank and the margin), where a label drawn over the box's left end would hide it.
text_starts() {  # x y width height in the dialog's client area: sets START, the ink's first column
    screenshot
    START=$(ink $((DIALOG_X + $1 + 2)) $((DIALOG_Y + $2 + 3)) $(($3 - 4)) $(($4 - 6)) |
        "$CONVERT" - -trim -format '%[fx:page.x] %w' info: 2>/dev/null)
    [[ ${START#* } != 1 ]] && START=${START% *} && ((START < 10))
}
expect_text_whole() {  # what, x y width height
    within 5 text_starts "${@:2}" || fail "$1: the text's first ink ${START% *} pixels into the box"
    pass "$1: the text starts $START pixels into the box"
}

open_preferences() {  # from the icon's menu, once the icon is docked: sets DIALOG and checks its size
    wait_icon
    from_icon_menu preferences && wait_dialog 'Preferences$'
    expect_eq "the dialog's client area" "299 345" "$DIALOG_W $DIALOG_H"
}

# The dialogs under a window manager, one spot a line, from the tray's menu of the program started
# here on default settings, with the window manager and a tray: thickness and orientation changed and
# taken; the same again cancelled; the alarm refused without a sound file; Tab through the table's
# order, every stop used once; the About box opened and closed with Enter; the colour chooser left up
# as the session ends, and what is saved.
check_dialogs() {  # name prefix for the kept screenshots
    local preferences rule words t last moving
    start_window_manager
    start_tray
    start_meter
    open_preferences
    keep_shot "$1-preferences"
    expect_text_whole "txtLowUpper shows ' 25' whole" 107 46 39 22
    expect_text_whole "txtMidUpper shows ' 50' whole" 226 46 39 22
    closes 'Preferences$' OK click_in_dialog $UPRIGHT_SPOT $PLUS_SPOT $OK_SPOT
    expect_geometry "flat and 12 thick, still in the upper right corner" "973 0 51 12"

    open_preferences
    closes 'Preferences$' Cancel click_in_dialog $UPRIGHT_SPOT $PLUS_SPOT $CANCEL_SPOT
    sleep 0.5
    expect_eq "Cancel changes nothing" "973 0 51 12" "$(geometry "$METER")"

    open_preferences
    preferences=$DIALOG
    click_in_dialog $ALARM_SPOT $OK_SPOT
    wait_dialog '^ Corvane$'
    keep_shot "$1-message"
    pass "the alarm without a sound file is refused with a message"
    closes '^ Corvane$' Enter xdotool key Return
    holds "the dialog stays open after the message" found DIALOG 'Preferences$'
    within 5 active_is "$preferences" || fail "the dialog did not take the keyboard back"
    closes 'Preferences$' Esc xdotool key Escape

    # From the first stop: Show on Top, Upright Form, the two bounds, the chosen position (the arrows
    # choose another), the alarm, its file, "...", then OK, pressed with the space bar.
    open_preferences
    xdotool key space Tab space Tab type 33
    xdotool key Tab type 66
    xdotool key Tab Down Down Tab space Tab type ding.wav
    expect_text_whole "txtWavFile shows 'ding.wav' whole" 56 270 185 22
    closes 'Preferences$' "the walk's end on OK" xdotool key Tab Tab space
    expect_geometry "upright in the lower left corner" "0 717 12 51"

    from_icon_menu about
    wait_dialog 'About Corvane$'
    keep_shot "$1-about"
    # The About box (DIALOG) as the last screenshot shows it. The rule: the one row between the box's top
    # and bottom edges that is dark across its middle. The notice's fourth line, 50 pixels below the rule
    # (120 and 3 x 210 twips), ends in the "t" its "not" ends in, not cut off at the right. The scrolling
    # line, above the rule, moves five characters (a blank is 3 pixels) a second.
    rule=$(ink $((DIALOG_X + DIALOG_W * 15 / 100)) "$DIALOG_Y" $((DIALOG_W * 7 / 10)) "$DIALOG_H" 80 | "$CONVERT" - -filter box \
        -resize "1x$DIALOG_H!" -depth 8 txt:- | awk -F'[,:]' -v h="$DIALOG_H" \
        'NR > 1 && $2 > 20 && $2 < h - 20 && /gray\(2[3-5][0-9]\)|#(E|F)/ {print $2; exit}')
    holds "the rule across the About box, $rule pixels down" test -n "$rule"
    words=$(ink $((DIALOG_X + 12)) $((DIALOG_Y + rule + 50)) $((DIALOG_W - 24)) 13 | "$CONVERT" - -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 {col[$1] = col[$1] ($0 ~ /#FFFFFF|white/ ? 1 : 0)}
            END {for (x = 0; x in col; x++) print col[x]}' |
        awk '$0 !~ /1/ {gap++; next} {if (gap >= 3 && word != "") {print word; word = ""}; word = word " " $0; gap = 0}
             END {print word}')
    # The last two of the three columns of a "t": the "a" before the last one reaches into the first.
    t=$(tail -n3 <<<"$words" | head -n1 | awk '{print $(NF - 1), $NF}')
    last=$(tail -n1 <<<"$words" | awk '{print $(NF - 1), $NF}')
    holds "the notice's fourth line ends whole: '$last' as the 't' '$t'" eval '[[ -n $t && $last == "$t" ]]'
    # The line's leftmost ink for 14 seconds, a round of the line, half a second at a time: it falls by
    # a blank (3 pixels) a tick of 127 ms while blanks leave at the left, two stretches of 4 seconds a
    # round; a line that stands at its tail for most of its round and then slides moves in 3 at most.
    moving=$(python3 "$(dirname "${BASH_SOURCE[0]}")/leftmost_ink.py" "$DIALOG_X" $((DIALOG_Y + rule - 17)) "$DIALOG_W" 9 14 |
        awk '{s = int($1 * 2)} s != half {if (n > 1 && !rose && t - t0 >= 0.25 && x0 - x >= 15 * (t - t0)) fast++
                                          half = s; t0 = $1; x0 = $2; rose = 0; n = 0}
             {rose = rose || $2 > x; t = $1; x = $2; n++} END {print fast + 0}')
    holds "the line scrolls five characters a second in $moving of 28 half-seconds, 10 at least" test "$moving" -ge 10
    closes 'About Corvane$' Enter xdotool key Return

    # The colour boxes are the last stops: Shift+Tab from the first reaches the white Border box, whose
    # focus mark is dotted in black; Space opens its chooser.
    open_preferences
    xdotool key shift+Tab
    holds_within 5 "the colour box with the focus shows the focus mark" border_box_marked
    keep_shot "$1-focus-mark"
    xdotool key space
    holds_within 10 "Space on a colour box opens the colour chooser" found CHOOSER '^(Select )?Colou?r$'
    stop_corvane
    expect_saved "ShowTop= 0" "Upright= 1" "Width= 12" "LowBound= 33" "MidBound= 66" "Position= 1" "EnableAlarm= 1" \
        "SoundFile=ding.wav"
}
