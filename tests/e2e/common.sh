# What the end-to-end tests of both programs share (the Linux one, and the Windows one under Wine):
# reporting, a private Xvfb screen, waiting for the window system, what a user sees of the meter, and
# cleaning up. Sourced by tests/e2e/lib.sh and tests/windows/e2e/lib.sh once they have set WORK (the
# test's own folder, removed at the end) and PROGRAM_LOG (where the program's output goes); a lib that
# has more to end first defines on_cleanup.

BG_PIDS=()  # background processes of the test's own, ended at the end
CORVANE_PID=
METER=  # the meter's X window, once wait_meter has seen it

# ImageMagick itself, not a wrapper that may stand before it on the PATH.
CONVERT=$(command -v /usr/bin/convert || command -v convert)

cleanup() {
    local p
    if declare -F on_cleanup >/dev/null; then on_cleanup; fi
    for p in "${BG_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -s ${PROGRAM_LOG:-} ]]; then tail -n 40 "$PROGRAM_LOG" | sed 's/^/  program: /' >&2; fi
    exit 1
}
pass() { echo "ok - $*"; }

expect_eq() {  # what, expected, actual
    [[ $2 == "$3" ]] || fail "$1: expected '$2', got '$3'"
    pass "$1"
}

# The window system and the programs work asynchronously: checks wait for what they expect, for a
# while, instead of pausing for a fixed time.
within() {  # seconds, command...: runs the command every tenth of a second until it succeeds
    local i
    for ((i = 0; i < $1 * 10; i++)); do
        "${@:2}" && return 0
        sleep 0.1
    done
    return 1
}

program_ended() { ! kill -0 "$CORVANE_PID" 2>/dev/null; }

start_display() {  # [WIDTHxHEIGHT]: Xvfb picks a free display number itself, so tests run side by side
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$WORK/display" >/dev/null \
        2>"$WORK/xvfb.log" &
    BG_PIDS+=($!)
    within 10 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

# The meter is the program's one visible window titled "Corvane".
meter_window() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -n1 || true; }
visible_meters() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | wc -l; }

meter_shown() {
    METER=$(meter_window)
    [[ -n $METER ]] && return 0
    program_ended && fail "the program ended early"
    return 1
}

wait_meter() { within 30 meter_shown || fail "no meter window appeared"; }

geometry() {  # "x y width height" of an X window, in pixels
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                             /  Width:/ {w=$NF} /  Height:/ {h=$NF} END {print x, y, w, h}'
}

geometry_is() { GEOMETRY=$(geometry "$1") && [[ $GEOMETRY == "$2" ]]; }

# A window's geometry once it is the one wanted, or as it is after 5 s.
settled_geometry() {  # window, "x y width height"
    within 5 geometry_is "$1" "$2" || true
    echo "$GEOMETRY"
}

screenshot() { import -window root "$WORK/shot.png"; }
pixel() { "$CONVERT" "$WORK/shot.png" -format "%[hex:p{$1,$2}]" info:; }  # RRGGBB

row() {  # the colours of pixels X1..X2 of row Y, as RRGGBB words
    "$CONVERT" "$WORK/shot.png" -crop "$(($2 - $1 + 1))x1+$1+$3" +repage -depth 8 txt:- |
        awk 'NR > 1 {printf "%s%s", sep, substr($3, 2, 6); sep = " "}'
}

expect_row() {  # x1 x2 y "RRGGBB ...": the last screenshot's row
    expect_eq "pixels $1..$2 of row $3" "$4" "$(row "$1" "$2" "$3")"
}

shows() { screenshot && [[ $(pixel "$1" "$2") == "$3" ]]; }

# Takes screenshots until a pixel shows the colour (up to 5 s), so the checks read a painted screen.
screenshot_when() { within 5 shows "$@" || true; }  # x y RRGGBB

# The meter as it first appears, upright and 10x51 at the top right of a 1024-wide screen: one line of
# RRGGBB words a row, the border strip, the eight pixels of the surface, the border strip.
meter_picture() {
    "$CONVERT" "$WORK/shot.png" -crop 10x51+1014+0 +repage -depth 8 txt:- |
        awk 'NR > 1 {split($1, p, /[,:]/); rows[p[2]] = rows[p[2]] (p[1] ? " " : "") substr($3, 2, 6)}
             END {for (y = 0; y < 51; y++) print rows[y]}'
}

# What that meter shows in the default colours: the grid on every tenth row over the bar, which runs
# from row TOP to the bottom with its left and right halves in the colours given, and the grey
# background above the bar. A TOP of 51 is no bar at all.
drawn_meter() {  # top left-colour [right-colour]
    local y l r
    for y in $(seq 0 50); do
        l=808080 r=808080
        if ((y >= $1)); then l=$2 r=${3:-$2}; fi
        if ((y % 10 == 0)); then l=FFFFFF r=FFFFFF; fi
        echo "FFFFFF $l $l $l $l $r $r $r $r FFFFFF"
    done
}

shows_meter() {
    SHOT_AT=$(date +%s%3N)
    screenshot && PICTURE=$(meter_picture) && [[ $PICTURE == "$1" ]]
}

# Takes screenshots until the meter shows the picture, for up to the seconds given (5 by default);
# SHOT_AT is then when the screenshot that showed it was taken, in milliseconds.
expect_meter() {  # what, picture, [seconds]
    within "${3:-5}" shows_meter "$2" ||
        fail "$1: the meter's rows differ (< shown, > expected):
$(diff <(echo "$PICTURE") <(echo "$2") | grep '^[<>]')"
    pass "$1"
}

# A fake adapter and battery that the program reads instead of the machine's, kept in $WORK/battery so
# that set_battery changes them while it runs. Both programs read it: the Linux one from sysfs, the
# Windows one through Wine's GetSystemPowerStatus.
FAKEBATTERY=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../fakebattery")
ON_BATTERY=("$FAKEBATTERY/with-fake-battery" --dir "$WORK/battery")  # a command prefix, then its options
set_battery() { "$FAKEBATTERY/set-fake-battery" "$WORK/battery" "$@"; }  # --ac 0|1 --percent N

# What both programs draw of the fake battery, started low on it: the low bar blinking under the grid,
# the high bar at 57 %, and its mains half within two seconds of plugging in.
expect_meter_follows_battery() {
    # 20 % of the 51 rows, rounded, is 10: the bar fills rows 41 to 50 in the low colour.
    expect_meter "low: the bar under the grid" "$(drawn_meter 41 FF0F00)"
    expect_meter "low: the bar wiped a second later, the grid still there" "$(drawn_meter 51)" 2
    expect_meter "low: the bar back again" "$(drawn_meter 41 FF0F00)" 2
    # 57 % is 29 rows: the bar from row 22.
    set_battery --percent 57
    expect_meter "57 % on battery: the high bar from row 22 under the grid" "$(drawn_meter 22 00FF00)"
    local plugged
    plugged=$(date +%s%3N)
    set_battery --ac 1
    expect_meter "plugged in: the bar's right half in the mains colour" "$(drawn_meter 22 00FF00 0000FF)"
    ((SHOT_AT - plugged <= 2000)) || fail "the mains half took $((SHOT_AT - plugged)) ms to show"
    pass "the mains half showed within two seconds ($((SHOT_AT - plugged)) ms)"
}

# Covers a part of the screen with another window for a moment; what was under it must be painted
# again by its owner.
cover_for_a_moment() {  # x y width height
    xmessage -geometry "$3x$4+$1+$2" -bg black -fg black "cover" >/dev/null 2>&1 &
    local cover=$!
    within 5 eval 'xdotool search --onlyvisible --class Xmessage >/dev/null 2>&1' || true
    sleep 0.3
    kill "$cover"
    wait "$cover" 2>/dev/null || true
}

# A small stand-alone tray along the bottom edge, as a desktop panel would have.
start_tray() {
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 --transparent false \
        --tint 0x303030 >/dev/null 2>&1 &
    BG_PIDS+=($!)
    sleep 1
}

tray_blue_pixels() {  # strongly blue pixels in the tray's area: the program icon's body
    screenshot
    "$CONVERT" "$WORK/shot.png" -crop 120x32+904+736 +repage -fx 'b > 0.5 && b > r + 0.25 ? 1 : 0' \
        -format '%[fx:round(mean * w * h)]' info:
}

# The tray takes a moment to show an icon whole: it is counted once two looks agree.
tray_icon_settled() {
    local first
    first=$(tray_blue_pixels)
    sleep 0.3
    TRAY_ICON=$(tray_blue_pixels)
    [[ $first -gt 40 && $first == "$TRAY_ICON" ]]
}

expect_one_tray_icon() {  # what: the icon as counted by tray_icon_settled, not a second one beside it
    local now
    now=$(tray_blue_pixels)
    ((now > 40 && now < TRAY_ICON * 3 / 2)) || fail "$1: $now blue pixels in the tray, $TRAY_ICON for one icon"
    pass "$1"
}

# Starts the program again while it runs: that start must end by itself within a second, with status
# 0 and without a word.
start_again() {  # what, command...
    "${@:2}" </dev/null >"$WORK/again.log" 2>&1 &
    local pid=$! rc=0
    within 1 eval "! kill -0 $pid 2>/dev/null" || { kill "$pid"; fail "$1: still running after a second"; }
    wait "$pid" || rc=$?
    expect_eq "$1: exit status" 0 "$rc"
    expect_eq "$1: says nothing" "" "$(cat "$WORK/again.log")"
}

# The command line's answers, the same on both programs: --version and --help (or -h) on standard
# output with status 0, anything else the usage on standard error with status 2.
check_command_line() {  # command...: the program as the test starts it
    local usage
    usage=$("$@" --help </dev/null 2>>"$WORK/usage.err") || fail "--help: $(cat "$WORK/usage.err")"
    [[ $usage == "Usage: corvane [--help | --version]"* ]] || fail "usage: $usage"
    answers "--version" 0 "Corvane 2.2" "" "$@" --version
    answers "--help" 0 "$usage" "" "$@" --help
    answers "-h" 0 "$usage" "" "$@" -h
    answers "an unknown option" 2 "" "corvane: unknown option '--bogus'"$'\n'"$usage" "$@" --bogus
    answers "an argument" 2 "" "corvane: takes no arguments, found '/?'"$'\n'"$usage" "$@" /?
}

answers() {  # what, exit status, standard output, standard error, command...
    local rc=0
    "${@:5}" </dev/null >"$WORK/out" 2>"$WORK/err" || rc=$?
    expect_eq "$1: exit status" "$2" "$rc"
    expect_eq "$1: standard output" "$3" "$(cat "$WORK/out")"
    expect_eq "$1: standard error" "$4" "$(cat "$WORK/err")"
}
