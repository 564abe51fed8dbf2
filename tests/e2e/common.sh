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
