#!/usr/bin/env bash
# Bad input never crashes the program or loses good settings: a garbled file, values out of range,
# and a configuration folder that cannot be written. (A settings file that cannot be read is
# IniStore.OnlyAFileThatCannotBeReadIsLeftAlone's.)
source "$(dirname "$0")/lib.sh"

start_display

# Garbage around good values, and values out of range: the good ones are used and the unknown lines
# survive the rewrite; an unknown position leaves the meter where it was made, a thickness far beyond
# the dialog's range is still drawn, an odd orientation is upright, an odd state is kept. (Ended by
# SIGHUP, as a closed terminal ends it.)
{
    printf '\x00\x01binary junk\xff\xfe\n[Form\nPosition=abc\nnot a setting\n[Form]\nPosition=9\nWidth=40\nState=-3\n'
    printf '[Options]\nGridColor=255\nLowBound=99999999\nWidth=\nUpright=5\nShowTop=2\nUnknownKey=keep me\n[Elsewhere]\nX=1\n'
} | write_ini
start_meter_at "garbled file, values out of range: meter shown from the good values" "0 0 40 51"
stop_corvane HUP
expect_saved "LowBound= 32767" "GridColor= 255" "State=-3"  # a number too large clamped, a good colour kept
for line in 'UnknownKey=keep me' 'not a setting' '[Elsewhere]'; do grep -qxF "$line" "$INI" || fail "'$line' was lost"; done
pass "unknown lines, keys and sections kept"

# A configuration folder that cannot be written: the program runs, says so once, old file whole.
rm -rf "$CFG/Corvane"
printf '[Form]\nPosition=0\nWidth=12\n' | write_ini
before=$(sha256sum "$INI")
readonly_root() { exec unshare --mount --propagation private sh -c \
    'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && shift && exec "$@"' sh "$CFG" "$@"; }
start_meter_at "read-only folder: meter placed from the file" "0 0 12 51" readonly_root
stop_corvane TERM
expect_eq "old file unchanged" "$before" "$(sha256sum "$INI")"
expect_eq "one message about saving" 1 "$(grep -c 'cannot save settings' "$WORK/out.log")"
