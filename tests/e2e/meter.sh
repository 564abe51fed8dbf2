#!/usr/bin/env bash
# The meter draws the battery: the bar in its band's colour under the grid, blinking with the alarm
# sounding when low on battery, half in the mains colour once plugged in.
source "$(dirname "$0")/lib.sh"

start_display
# Half a second of a square wave, 16-bit mono at 8 kHz: the header (8036 bytes follow; PCM, one
# channel, 8000 frames and 16000 bytes a second, frames of 2 bytes, 16 bits; 8000 bytes of data).
{
    printf 'RIFF\x64\x1f\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00'
    printf 'data\x40\x1f\x00\x00'
    for _ in $(seq 100); do printf '\x00\x20%.0s' $(seq 20) && printf '\x00\xe0%.0s' $(seq 20); done
} >"$WORK/alarm.wav"
# The sound device, for this user only: a file that takes what is played, through the sound library's
# ALSA driver even where a sound server's driver is installed too.
export CANBERRA_DRIVER=alsa
mkdir -p "$CFG/alsa"
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n' "$WORK/played.raw" \
    >"$CFG/alsa/asoundrc"
printf '[Options]\nEnableAlarm=1\nSoundFile=%s\n' "$WORK/alarm.wav" | write_ini

# Low on battery from the start: the alarm sounds at the first tick.
start_corvane_on_battery --ac 0 --percent 20
wait_meter
played_all() { [[ $(stat -c %s "$WORK/played.raw" 2>/dev/null) == 8000 ]]; }
within 5 played_all || true
cmp -s <(tail -c +45 "$WORK/alarm.wav") "$WORK/played.raw" || fail "the alarm did not play the sound file"
pass "the alarm played the sound file at the first tick"
expect_meter_follows_battery
stop_corvane TERM

# A sound file that is no WAV file is skipped without a word.
echo "not a sound" >"$WORK/alarm.wav"
rm -f "$WORK/played.raw"
start_corvane_on_battery --ac 0 --percent 20
wait_meter
expect_meter "low with a broken sound file: the bar" "$(drawn_meter 41 FF0F00)"
sleep 1
[[ ! -e $WORK/played.raw ]] || fail "a file that is no WAV file was played"
expect_eq "nothing said about the broken sound file" "" "$(cat "$PROGRAM_LOG")"
stop_corvane TERM
