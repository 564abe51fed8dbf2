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
mkdir -p -m 700 "$CFG" "$WORK/run"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
export XDG_RUNTIME_DIR="$WORK/run"
# Qt and its libraries keep some allocations to the end of the process on purpose.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
# Every test's screen, Xvfb, unless it sets OWN_DISPLAY before sourcing this and starts another.
[[ -n ${OWN_DISPLAY:-} ]] || start_display

# [command prefix...]: e.g. a namespace wrapper that execs its last argument. CORVANE_PID is then the
# program, or a wrapper that execs it or whose exit status is the program's.
run_corvane() { XDG_CONFIG_HOME="$CFG" background "$@" "$CORVANE" >"$PROGRAM_LOG" 2>&1; }

# Ends the program with a signal and checks that it ended by itself, cleanly.
stop_corvane() { kill "-${1:-TERM}" "$CORVANE_PID" && ends_with 0 "SIG${1:-TERM}"; }  # [signal]

write_ini() { mkdir -p "$(dirname "$INI")" && cat >"$INI"; }  # the settings file, from standard input
saved() { sed -n "s/^$1=//p" "$INI" | head -n1; }  # KEY
settings_text() { { ls -A "$CFG/Corvane" && cat "$INI"; } 2>&1 || true; }  # the folder's files and the settings file

# Qt's menu takes the keyboard: Down from the top, past the separators, or Up from the bottom, as a
# user may.
declare -A MENU_KEYS=([hide]="Down" [preferences]="Down Down" [help]="Down Down Down" [about]="Down Down Down Down" [exit]="Up")
choose() { xdotool key ${MENU_KEYS[$1]} Return && menu_closed; }  # hide, preferences, help, about or exit
