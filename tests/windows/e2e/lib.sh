# Shared steps of the end-to-end tests of corvane.exe under Wine: a copy of the prepared prefix and an
# Xvfb display (1024x768) of the test's own, the program started in them, and ways to look at what a
# user would see. Sourced by each test with the arguments: corvane.exe, the build's Wine folder.
set -euo pipefail

EXE=$1
WINEDIR=$(realpath -m "$2")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SETTINGS='HKCU\Software\VB and VBA Program Settings\Corvane'
WORK=$(mktemp -d "${TMPDIR:-/tmp}/corvane-e2e.XXXXXX")
LOG=$WORK/wine.log
source "$HERE/../../e2e/screen.sh"
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
XVFB_PID=
CORVANE_PID=
WATCHDOG_PID=

fail() {
    echo "FAIL: $*" >&2
    if [[ -s $LOG ]]; then tail -n 20 "$LOG" >&2; fi
    exit 1
}

cleanup() {
    if [[ -n $WATCHDOG_PID ]]; then kill "$WATCHDOG_PID" 2>/dev/null || true; fi
    wineserver -k >/dev/null 2>&1 || true
    if [[ -n $XVFB_PID ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'fail "no end after 100 seconds"' TERM

# Wine, with everything it starts writing to the log: a process holding ctest's pipe would keep the
# test from ending.
w() { wine "$@" </dev/null >>"$LOG" 2>&1; }

setup() {
    # A test stuck in Wine still ends, and cleans up after itself, before ctest has to kill it: the
    # stuck Wine command ends with the server, and the script gets on with its TERM trap.
    (sleep 100 && wineserver -k && kill -TERM $$) </dev/null >/dev/null 2>&1 &
    WATCHDOG_PID=$!
    "$HERE/../prepare-prefix" "$WINEDIR" base
    cp -a "$WINEDIR/base" "$WINEPREFIX"
    # Xvfb picks a free display number itself, so tests can run side by side.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do [[ -s $WORK/display ]] && break; sleep 0.1; done
    [[ -s $WORK/display ]] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n 1 "$WORK/display")
    wineserver -p </dev/null >/dev/null 2>&1
    w cmd /c exit
}

reg_add() { w reg add "$SETTINGS\\$1" /v "$2" /t "${4:-REG_SZ}" /d "$3" /f || fail "reg add $*"; }

# The values of a stored section, one "KEY|TYPE|TEXT" a line; nothing for a missing section.
stored() {
    { wine reg query "$SETTINGS\\$1" 2>>"$LOG" </dev/null || true; } | tr -d '\r' |
        sed -n 's/^    \([^ ]*\)    \(REG_[A-Z_]*\)\(    \)\{0,1\}/\1|\2|/p'
}

start_corvane() {
    wine "$EXE" </dev/null >>"$LOG" 2>&1 &
    CORVANE_PID=$!
}

# Start-up is through once the main window and the meter both exist, shown or not.
wait_for_windows() {
    for _ in $(seq 100); do
        [[ $(xdotool search --name '^Corvane$' 2>/dev/null | wc -l) -ge 2 ]] && return
        sleep 0.2
    done
    fail "corvane.exe made no windows"
}

# The meter's X window once it is on the screen.
wait_for_meter() {
    local id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -n 1) || true
        if [[ -n $id ]]; then echo "$id"; return; fi
        sleep 0.2
    done
    fail "no meter window on the screen"
}

expect_geometry() {
    local want=$2 got
    for _ in $(seq 25); do
        got=$(geometry "$1")
        [[ $got == "$want" ]] && return
        sleep 0.2
    done
    fail "meter at '$got', expected '$want'"
}

expect_row() {
    local got
    got=$(row "$1" "$2" "$3")
    [[ $got == "$4" ]] || fail "pixels $1..$2 of row $3 are '$got', expected '$4'"
}

# The user logs off: the program gets the end of the session, saves its settings and ends.
end_session() {
    w wineboot --end-session || true
    for _ in $(seq 100); do
        kill -0 "$CORVANE_PID" 2>/dev/null || return 0
        sleep 0.2
    done
    fail "corvane.exe still runs after the end of the session"
}
