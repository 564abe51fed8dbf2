# The end-to-end tests of corvane.exe under Wine: a copy of the prepared prefix and an Xvfb display
# (1024x768) of the test's own, the program started in them, and what it leaves in the registry. What
# both programs' tests share is in tests/e2e/common.sh. Sourced by each test with the arguments:
# corvane.exe, the build's Wine folder.
set -euo pipefail

EXE=$1
WINEDIR=$(realpath -m "$2")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SETTINGS='HKCU\Software\VB and VBA Program Settings\Corvane'
WORK=$(mktemp -d "${TMPDIR:-/tmp}/corvane-e2e.XXXXXX")
PROGRAM_LOG=$WORK/wine.log
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Every Wine process of this test's prefix, the program's included, ends with its server: at the end,
# and when the test is stuck in a Wine command. Defined before common.sh starts the watchdog, which
# calls it from a shell of its own.
on_cleanup() { wineserver -k >/dev/null 2>&1 || true; }
source "$HERE/../../e2e/common.sh"

# Wine, with everything it starts writing to the log: a process holding ctest's pipe would keep the
# test from ending.
w() { wine "$@" </dev/null >>"$PROGRAM_LOG" 2>&1; }
wout() { { wine "$@" </dev/null 2>>"$PROGRAM_LOG" || true; } | tr -d '\r'; }  # a Wine command's output, its lines' CRs taken off

setup() {  # the test's own prefix and screen, Wine started in them
    "$HERE/../prepare-prefix" "$WINEDIR" base
    cp -a "$WINEDIR/base" "$WINEPREFIX"
    start_display
    within 30 wine_started || fail "Wine would not start in the test's prefix"
}
# The prefix's server kept for the test's many short Wine commands, and one of them run. A first try
# that fails says how and is tried again: the test is about the program, not Wine's start.
wine_started() {
    wineserver -p </dev/null >/dev/null 2>&1 || true  # fails when a try before started it
    w cmd /c exit && return
    echo "Wine's first command ended with status $?: $(tail -n 5 "$PROGRAM_LOG")" >&2
    return 1
}

# Seconds at rest times the slowness factor: how long to give the program to take input that shows
# nothing a test could wait for.
scaled() { awk -v s="$1" -v f="$SLOWNESS" 'BEGIN {print s * f}'; }

reg_add() { w reg add "$SETTINGS\\$1" /v "$2" /d "$3" /f || fail "reg add $*"; }  # section key text

# reg's answer for the settings, both sections: sets SETTINGS_TEXT to its lines, CRs taken off. No
# settings stored is an answer, with no lines. reg says why it failed on its standard output, where the
# values go: another failure (Wine could not start it, for one) is no answer, kept in REG_FAILURE, and
# must not read as settings without values.
query_settings() {
    local rc=0
    SETTINGS_TEXT=$(wine reg query "$SETTINGS" /s </dev/null 2>>"$PROGRAM_LOG") || rc=$?
    SETTINGS_TEXT=${SETTINGS_TEXT//$'\r'/}
    ((rc)) || return 0
    REG_FAILURE="status $rc, saying: ${SETTINGS_TEXT:-nothing}"
    [[ $SETTINGS_TEXT == "reg: Unable to find the specified registry key" ]] && SETTINGS_TEXT= && return 0
    return 1
}
# The stored values, Form's then Options', one "KEY|TYPE|TEXT" a line; nothing when none are stored.
# Fails, saying what reg last said, if reg gives no answer for 10 s (times the factor).
settings_text() {
    within 10 query_settings || { echo "the settings could not be read: reg query ended with $REG_FAILURE" >&2; return 1; }
    sed -n 's/^    \([^ ]*\)    \(REG_[A-Z_]*\)\(    \)\{0,1\}/\1|\2|/p' <<<"$SETTINGS_TEXT"
}
saved() {  # KEY: its text, or "TYPE text" for a value that is not a text; fails if the settings cannot be read
    # awk reads to the end: a reader that left at the match would end the query with SIGPIPE.
    settings_text | awk -F'|' -v key="$1" '$1 == key && !found {print ($2 == "REG_SZ" ? "" : $2 " ") $3; found = 1}'
}

# Wine's menu keeps the item under the pointer selected, wherever the pointer has gone since: Home or
# End first, then the arrows, past the separators. Wine stamps its request for the input focus with a
# time that lags by as long as the program was slow to hear its first X event; a window manager that
# moved the focus just before (a dialog just closed) wins then, and the menu hears nothing. A person
# is not that quick; the test closes the menu with a click and opens it again, twice at most.
declare -A MENU_KEYS=([hide]="Home" [preferences]="Home Down" [help]="Home Down Down" [about]="End Up" [exit]="End")
choose() {  # hide, preferences, help, about or exit
    local keys="${MENU_KEYS[$1]} Return" try
    for try in 1 2 3; do
        xdotool key $keys
        within 3 menu_gone $MENU_SPOT && return
        ((try < 3)) && window_manager_runs || break
        echo "the menu did not hear the keys: closed and opened again" >&2
        xdotool mousemove 500 400 click 1
        within 5 menu_gone $MENU_SPOT || fail "a click elsewhere left the menu up"
        open_icon_menu
    done
    menu_closed
}

run_corvane() { "$@" wine "$EXE" </dev/null >>"$PROGRAM_LOG" 2>&1 & }  # [command prefix...]

# The user logs off: the program gets the end of the session, saves its settings and ends, cleanly.
stop_corvane() { w wineboot --end-session || true; ends_with 0 "the end of the session"; }
