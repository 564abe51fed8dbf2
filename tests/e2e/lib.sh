#!/usr/bin/env bash
# Shared helpers for the end-to-end tests of the Linux program: a private Xvfb screen, the program
# started over a configuration folder of the test's own, and what a user would see of it.
set -euo pipefail

CORVANE=$(realpath "${1:?usage: $0 path/to/corvane}")
FAKEBATTERY=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../fakebattery")
WORK=$(mktemp -d /tmp/corvane-e2e.XXXXXX)
CFG="$WORK/config"
INI="$CFG/Corvane/Corvane.ini"
BG_PIDS=()
CORVANE_PID=  # what start_corvane started, whose exit status is the program's
PROGRAM_PID=  # the program itself, which the signals go to
mkdir -p "$CFG" "$WORK/run"
source "$(dirname "${BASH_SOURCE[0]}")/screen.sh"
chmod 700 "$WORK/run"
export XDG_RUNTIME_DIR="$WORK/run"
# Qt and its libraries keep some allocations to the end of the process on purpose.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

cleanup() {
    local p
    for p in "${BG_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/out.log" ] && sed 's/^/  program: /' "$WORK/out.log" >&2
    exit 1
}
pass() { echo "ok - $*"; }

expect_eq() {  # what, expected, actual
    [ "$2" == "$3" ] || fail "$1: expected '$2', got '$3'"
    pass "$1"
}

start_display() {  # [WIDTHxHEIGHT]
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
    BG_PIDS+=($!)
    local i
    for i in $(seq 100); do
        [ -s "$WORK/display" ] && break
        sleep 0.1
    done
    [ -s "$WORK/display" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

start_corvane() {  # [command prefix...]: e.g. a namespace wrapper that execs its last argument
    XDG_CONFIG_HOME="$CFG" "$@" "$CORVANE" >"$WORK/out.log" 2>&1 &
    CORVANE_PID=$!
    PROGRAM_PID=$CORVANE_PID
    BG_PIDS+=("$CORVANE_PID")
}

# Starts the program over a fake adapter and battery kept in $WORK/battery, which set_battery changes
# while it runs. The wrapper stays to clean up, so the program is its child.
start_corvane_on_battery() {  # with-fake-battery options, e.g. --ac 0 --percent 57
    start_corvane "$FAKEBATTERY/with-fake-battery" --dir "$WORK/battery" "$@" --
    local i
    for i in $(seq 100); do
        PROGRAM_PID=$(pgrep -P "$CORVANE_PID" || true)
        [ -n "$PROGRAM_PID" ] && [ "$(readlink "/proc/$PROGRAM_PID/exe" 2>/dev/null)" == "$CORVANE" ] && break
        sleep 0.05
    done
    [ "$(readlink "/proc/$PROGRAM_PID/exe" 2>/dev/null)" == "$CORVANE" ] || fail "the program did not start"
    BG_PIDS+=("$PROGRAM_PID")
}

set_battery() { "$FAKEBATTERY/set-fake-battery" "$WORK/battery" "$@"; }  # --ac 0|1 --percent N

# Ends the program with a signal and checks that it ended by itself, cleanly.
stop_corvane() {  # [signal]
    kill "-${1:-TERM}" "$PROGRAM_PID"
    local rc=0 i
    for i in $(seq 100); do
        kill -0 "$PROGRAM_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$PROGRAM_PID" 2>/dev/null && fail "the program did not end after SIG${1:-TERM}"
    wait "$CORVANE_PID" || rc=$?
    expect_eq "exit status after SIG${1:-TERM}" 0 "$rc"
}

meter_window() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -n1 || true; }

wait_meter() {
    local i
    for i in $(seq 100); do
        METER=$(meter_window)
        [ -n "$METER" ] && return 0
        kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended early"
        sleep 0.1
    done
    fail "no meter window appeared"
}

# The window system works asynchronously: a window's place is checked once it has settled (up to 5 s).
expect_geometry() {  # what, "x y width height"
    local got i
    for i in $(seq 50); do
        got=$(geometry "$METER")
        [ "$got" == "$2" ] && break
        sleep 0.1
    done
    expect_eq "$1" "$2" "$got"
}



write_ini() { mkdir -p "$(dirname "$INI")" && cat >"$INI"; }
ini_value() { sed -n "s/^$1=//p" "$INI" | head -n1; }
