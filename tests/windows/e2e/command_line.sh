#!/bin/bash
# The command line of corvane.exe, a windowed program: --version and --help answer on standard output
# and end with 0, anything else gets the usage on standard error and 2; the registry is not touched.
source "$(dirname "$0")/lib.sh"
setup
reg_add Form Position 1
before=$(stored Form; stored Options)
run() {  # what, expected status, expected stdout, expected stderr, arguments...
    local rc=0
    wine "$EXE" "${@:5}" </dev/null >"$WORK/out" 2>"$WORK/err" || rc=$?
    expect_eq "$1: exit status" "$2" "$rc"
    expect_eq "$1: standard output" "$3" "$(cat "$WORK/out")"
    expect_eq "$1: standard error" "$4" "$(cat "$WORK/err")"
}
usage=$(wine "$EXE" --help </dev/null 2>>"$LOG")
[[ $usage == "Usage: corvane [--help | --version]"* ]] || fail "usage: $usage"
run "--version" 0 "Corvane 2.2" "" --version
run "--help" 0 "$usage" "" --help
run "-h" 0 "$usage" "" -h
run "an unknown option" 2 "" "corvane: unknown option '--bogus'
$usage" --bogus
run "an argument" 2 "" "corvane: takes no arguments, found '/?'
$usage" /?
expect_eq "settings untouched" "$before" "$(stored Form; stored Options)"
expect_eq "no window made" 0 "$(xdotool search --name '^Corvane$' 2>/dev/null | wc -l)"
