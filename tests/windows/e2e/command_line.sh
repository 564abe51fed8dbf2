#!/bin/bash
# The command line of corvane.exe, a windowed program, answers on its standard output and error, makes
# no window and leaves the registry as it was.
source "$(dirname "$0")/lib.sh"
setup
reg_add Form Position 1
before=$(stored Form; stored Options)
check_command_line wine "$EXE"
expect_eq "settings untouched" "$before" "$(stored Form; stored Options)"
expect_eq "no window made" 0 "$(xdotool search --name '^Corvane$' 2>/dev/null | wc -l)"
