#!/usr/bin/env bash
# The command line: --version and --help answer on standard output and end with 0, anything else
# gets the usage on standard error and 2; none of them needs a display or touches the settings.
source "$(dirname "$0")/lib.sh"

printf '[Form]\nPosition=1\n' | write_ini
before=$(cat "$INI")
run() {  # what, expected status, expected stdout, expected stderr, arguments...
    local rc=0
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$CFG" "$CORVANE" "${@:5}" >"$WORK/out" 2>"$WORK/err" || rc=$?
    expect_eq "$1: exit status" "$2" "$rc"
    expect_eq "$1: standard output" "$3" "$(cat "$WORK/out")"
    expect_eq "$1: standard error" "$4" "$(cat "$WORK/err")"
}
usage=$("$CORVANE" --help)
[[ $usage == "Usage: corvane [--help | --version]"* ]] || fail "usage: $usage"
run "--version" 0 "Corvane 2.2" "" --version
run "--help" 0 "$usage" "" --help
run "-h" 0 "$usage" "" -h
run "an unknown option" 2 "" "corvane: unknown option '--bogus'
$usage" --bogus
run "an argument" 2 "" "corvane: takes no arguments, found 'x.ini'
$usage" x.ini
expect_eq "settings untouched" "$before" "$(cat "$INI")"
expect_eq "nothing else written" "Corvane.ini" "$(ls "$CFG/Corvane")"
