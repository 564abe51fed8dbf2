#!/usr/bin/env bash
# The meter draws the battery: the bar in its band's colour under the grid, blinking with the alarm
# sounding when low on battery, half in the mains colour once plugged in. A sound file that cannot be
# played sounds the desktop's default alert instead, and nothing in the sound holds the program. Two
# thousand power supplies under the usual limit of 1,024 open files do not hold it either.
source "$(dirname "$0")/lib.sh"

# Half a second of a square wave, 16-bit mono at 8 kHz, after a header of 44 bytes.
write_wav() {  # path, [samples a half wave: 20]
    mkdir -p "$(dirname "$1")"
    python3 -c 'import sys, wave
n = int(sys.argv[2])
with wave.open(sys.argv[1], "wb") as w:
    w.setparams((1, 2, 8000, 0, "NONE", "not compressed"))
    w.writeframes((b"\x00\x20" * n + b"\x00\xe0" * n) * (2000 // n))' "$1" "${2:-20}"
}

write_wav "$WORK/alarm.wav"
# The sound device, for this user only: a file that takes what is played, through the sound library's
# ALSA driver even where a sound server's driver is installed too.
export CANBERRA_DRIVER=alsa
device() { mkdir -p "$CFG/alsa" && printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n' "$1" >"$CFG/alsa/asoundrc"; }
device "$WORK/played.raw"
# The desktop's sound theme, of the test's own: its bell an octave above the alarm's file.
export XDG_DATA_HOME=$WORK/data
BELL=$XDG_DATA_HOME/sounds/freedesktop/stereo/bell.wav
write_wav "$BELL" 10
printf '[Sound Theme]\nName=Test\nDirectories=stereo\n[stereo]\nOutputProfile=stereo\n' \
    >"$XDG_DATA_HOME/sounds/freedesktop/index.theme"
# Low on battery, the alarm on with the sound file given: started, once its meter is shown.
start_low() { printf '[Options]\nEnableAlarm=1\nSoundFile=%s\n' "$1" | write_ini && start_meter "${@:2}" "${ON_BATTERY[@]}" --ac 0 --percent 20 --; }  # sound file, [prefix...]
played() { cmp -s <(tail -c +45 "$1") "$WORK/played.raw"; }  # the sound file's samples, all of them

# Low on battery from the start: the alarm sounds at the first tick.
start_low "$WORK/alarm.wav"
holds_within 5 "the alarm played the sound file at the first tick" played "$WORK/alarm.wav"
expect_meter_follows_battery
stop_corvane TERM

# A file that is missing, no WAV file, or a FIFO, which a plain open waits on for ever, sounds the
# default alert instead, without a word.
echo "not a sound" >"$WORK/broken.wav"
mkfifo "$WORK/alarm.fifo"
start_tray
for file in missing.wav broken.wav alarm.fifo; do
    rm -f "$WORK/played.raw"
    start_low "$WORK/$file"
    within 5 played "$BELL" || fail "$file: the default alert did not sound"
    expect_eq "$file: the default alert, and nothing said" "" "$(cat "$PROGRAM_LOG")"
    [[ $file == *.fifo ]] || stop_corvane TERM
done
# Nothing waits on the FIFO: a file chosen later sounds at the next alarm, and the end is not held.
open_preferences
click_in_dialog 120 281  # txtWavFile
xdotool key ctrl+a type "$WORK/alarm.wav"
click_in_dialog $OK_SPOT
holds_within 20 "the file chosen plays at the next alarm" played "$WORK/alarm.wav"
stop_corvane TERM
expect_eq "the settings saved at the end" "$WORK/alarm.wav" "$(saved SoundFile)"

# A sound device that never answers holds the sound's thread for good, but not the end. Beside the fake
# adapter and battery, batteries that know only their level, a little higher: the program holds a few
# of their files open and reads the others as it goes, so it still follows the battery and the mains.
mkfifo "$WORK/device.fifo"
device "$WORK/device.fifo"
mkdir "$WORK"/battery/BAT{1..1999}
for d in "$WORK"/battery/BAT{1..1999}; do echo Battery >"$d/type" && echo 24 >"$d/capacity"; done
few_files() { ulimit -n 1024 && exec "$@"; }
start_low "$WORK/alarm.wav" few_files
stuck() { grep -qs wait_for_partner /proc/"$CORVANE_PID"/task/*/wchan; }
within 10 stuck || fail "the sound did not reach the device"
# Only the program itself opens the device: the process is the program now, with the limit it was given.
expect_eq "open files allowed" 1024 "$(awk '/^Max open files/ {print $4}' "/proc/$CORVANE_PID/limits")"
# Almost all at 24 %: 12 of the 51 rows, the low bar from row 39; 20 % alone would start below row
# 40, a grid line either way.
expect_meter "2,000 supplies low on battery: the bar from row 39" "$(drawn_meter 39 FF0F00)" 30
open=$(find "/proc/$CORVANE_PID/fd" -mindepth 1 | wc -l)
holds "the program holds $open files open, 100 at most" test "$open" -le 100
set_battery --ac 1
expect_meter "plugged in: the mains half" "$(drawn_meter 39 FF0F00 0000FF)" 30
stop_corvane TERM
expect_saved "Position= 2"  # saved at the end
