#!/usr/bin/env bash
# Two thousand power supplies under the usual limit of 1,024 open files: the program holds a few of
# their files open and reads the others as it goes, so it still follows the battery, ends on SIGTERM
# and saves.
source "$(dirname "$0")/lib.sh"

start_display
# Beside the fake adapter and battery, batteries that know only their level, all at 57 %.
mkdir -p "$WORK/battery"
(cd "$WORK/battery" && mkdir BAT{1..1999})
for i in {1..1999}; do
    printf 'Battery\n' >"$WORK/battery/BAT$i/type"
    printf '57\n' >"$WORK/battery/BAT$i/capacity"
done

few_files() { ulimit -n 1024 && exec "$@"; }
start_corvane few_files "${ON_BATTERY[@]}" --ac 0 --percent 57 --
is_program() { [[ $(readlink "/proc/$CORVANE_PID/exe" 2>/dev/null) == "$CORVANE" ]]; }
within 10 is_program || fail "the program did not start"
expect_eq "open files allowed" 1024 "$(awk '/^Max open files/ {print $4}' "/proc/$CORVANE_PID/limits")"
wait_meter
expect_meter "2,000 supplies at 57 % on battery: the high bar from row 22" "$(drawn_meter 22 00FF00)" 30
open=$(find "/proc/$CORVANE_PID/fd" -mindepth 1 | wc -l)
holds "the program holds $open files open, 100 at most" test "$open" -le 100
set_battery --ac 1
expect_meter "plugged in: the mains half" "$(drawn_meter 22 00FF00 0000FF)" 30
stop_corvane TERM
expect_saved "Position= 2"  # saved at the end
