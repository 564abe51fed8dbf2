#!/usr/bin/env bash
# The command line answers without a display and leaves the settings file as it was.
source "$(dirname "$0")/lib.sh"

printf '[Form]\nPosition=1\n' | write_ini
before=$(cat "$INI")
check_command_line env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$CFG" "$CORVANE"
expect_eq "settings untouched" "$before" "$(cat "$INI")"
expect_eq "nothing else written" "Corvane.ini" "$(ls "$CFG/Corvane")"
