#!/usr/bin/env bash
# The settings file as people and their tools leave it, begun with a byte-order mark, read in a German
# session, and saved with the folder synced after the rename. The file's own details (the mark and the
# mode kept, links followed, stale temporaries removed) are IniStore's unit tests'.
source "$(dirname "$0")/lib.sh"

start_display

# A German session writes one and a half as "1,5", and Qt sets that locale before the settings load.
# Where the system lacks the locale it is built from the locales package into the test's own folder.
german=$(locale -a 2>/dev/null | grep -ix 'de_DE\.utf-\?8' | head -n1 || true)
if [ -z "$german" ] && command -v localedef >/dev/null; then
    mkdir -p "$WORK/locale"
    localedef -i de_DE -f UTF-8 "$WORK/locale/de_DE.UTF-8" >/dev/null 2>&1 || true
    export LOCPATH="$WORK/locale"
    german=de_DE.UTF-8
fi
in_german() { LC_ALL=$german LANG=$german exec "$@"; }
if [ -n "$german" ] && [ "$(env LC_ALL="$german" printf '%.1f' 1.5 2>/dev/null)" == "1,5" ]; then
    session=in_german
else
    echo "note: no decimal-comma locale (package locales); the first run uses the C locale"
    session=
fi

# A byte-order mark before [Form], and numbers with a point and an exponent. The save syncs the folder
# once the new name is in it.
printf '\xEF\xBB\xBF[Form]\nPosition=4\nLeft= 1.5e4\nTop=3000\nWidth= 13.5\n' | write_ini
start_meter_at "placed from a file with a byte-order mark, in a German session" "1000 200 14 51" $session
if command -v strace >/dev/null; then
    strace -f -qq -e trace=openat,fsync,rename,renameat,renameat2 -o "$WORK/trace" -p "$CORVANE_PID" 2>/dev/null &
    BG_PIDS+=($!)
    within 5 grep -q '^TracerPid:[[:space:]]*[1-9]' "/proc/$CORVANE_PID/status" || true
fi
stop_corvane TERM
expect_saved "Left= 15000" "Width= 13.5"
if [ -s "$WORK/trace" ]; then
    # After the rename, the folder is opened and that descriptor synced.
    awk '/rename[at2]*\(.*\/\.Corvane\.ini\.saving-.*\/Corvane\.ini"\) = 0$/ { renamed = 1; next }
         renamed && fd == "" && /openat\(AT_FDCWD, ".*\/Corvane", .*O_DIRECTORY.*\) = [0-9]+$/ { fd = $NF; next }
         fd != "" && $0 ~ ("fsync\\(" fd "\\) += 0$") { synced = 1 }
         END { exit !synced }' "$WORK/trace" || fail "no sync of the folder after the rename: $(cat "$WORK/trace")"
    pass "the folder synced after the rename"
else
    echo "note: strace missing or not allowed to attach; the folder's sync not checked"
fi

