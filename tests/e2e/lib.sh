#!/usr/bin/env bash
# The end-to-end tests of the Linux program: the program started over a configuration folder of the
# test's own, ended by a signal, and the settings file it leaves. What both programs' tests share is
# in common.sh.
set -euo pipefail

CORVANE=$(realpath "${1:?usage: $0 path/to/corvane}")
WORK=$(mktemp -d /tmp/corvane-e2e.XXXXXX)
PROGRAM_LOG=$WORK/out.log
CFG="$WORK/config"
INI="$CFG/Corvane/Corvane.ini"
mkdir -p "$CFG" "$WORK/run"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
chmod 700 "$WORK/run"
export XDG_RUNTIME_DIR="$WORK/run"
# Qt and its libraries keep some allocations to the end of the process on purpose.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

STARTED_PID=  # what start_corvane started: the program, or a wrapper whose exit status is the program's

start_corvane() {  # [command prefix...]: e.g. a namespace wrapper that execs its last argument
    XDG_CONFIG_HOME="$CFG" "$@" "$CORVANE" >"$PROGRAM_LOG" 2>&1 &
    STARTED_PID=$!
    CORVANE_PID=$STARTED_PID
    BG_PIDS+=("$STARTED_PID")
}

# Starts the program over the fake battery (ON_BATTERY in common.sh). With the test's own tree the
# wrapper has nothing to clean up and becomes the program (it execs), so once it has, the signals sent
# to the process started reach the program.
start_corvane_on_battery() {  # with-fake-battery options, e.g. --ac 0 --percent 57
    start_corvane "${ON_BATTERY[@]}" "$@" --
    is_program() { [[ $(readlink "/proc/$STARTED_PID/exe" 2>/dev/null) == "$CORVANE" ]]; }
    within 10 is_program || fail "the program did not start"
}

# Ends the program with a signal and checks that it ended by itself, cleanly.
stop_corvane() {  # [signal]
    kill "-${1:-TERM}" "$CORVANE_PID"
    local rc=0
    within 10 program_ended || fail "the program did not end after SIG${1:-TERM}"
    wait "$STARTED_PID" || rc=$?
    expect_eq "exit status after SIG${1:-TERM}" 0 "$rc"
}

expect_geometry() {  # what, "x y width height": the meter's, once it has settled
    expect_eq "$1" "$2" "$(settled_geometry "$METER" "$2")"
}

drag() {  # from x y to x y, with the left button, in a few steps as a hand would
    xdotool mousemove "$1" "$2" mousedown 1
    # The press reads where the cursor is when it is handled; no hand moves on within the moment the
    # program may take for the move before it (the first one over the meter makes the tooltip).
    sleep 0.2
    local i
    for i in 1 2 3 4; do
        xdotool mousemove $(($1 + ($3 - $1) * i / 4)) $(($2 + ($4 - $2) * i / 4))
        sleep 0.05
    done
    xdotool mouseup 1
}

write_ini() { mkdir -p "$(dirname "$INI")" && cat >"$INI"; }
ini_value() { sed -n "s/^$1=//p" "$INI" | head -n1; }

# Qt's menu takes the keyboard: Down from the top, Up from the bottom, as a user may.
choose() {  # hide, preferences, help, about or exit
    case $1 in
        hide) xdotool key Down Return ;;
        preferences) xdotool key Down Down Return ;;  # past the separators
        help) xdotool key Down Down Down Return ;;
        about) xdotool key Down Down Down Down Return ;;
        exit) xdotool key Up Return ;;
    esac
    menu_closed
}
