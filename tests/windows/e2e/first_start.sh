#!/bin/bash
# First start with nothing stored: an upright 10x51 meter in the top right corner, white strips
# beside the drawing of the battery; the end of the session saves all twenty settings as texts,
# numbers with their leading blank. Then, with the alarm on, the meter draws the battery as on Linux
# (see expect_meter_follows_battery), and low on battery the alarm is the system's sound call with the
# sound file's path, seen in Wine's trace of it.
source "$(dirname "$0")/lib.sh"
setup
check_first_start
expect_row 1013 1023 51 "$(printf '000000 %.0s' $(seq 10))000000"
expect_row 1013 1013 25 000000
stop_corvane
# The twenty settings, all texts: those of a first save, and FullLife, whatever the system last
# reported, as a number.
expect_eq "the settings of a first save but FullLife, as texts" "$(printf '%s\n' "${FIRST_SAVE[@]}" |
    sed -n '/^FullLife=/d; s/=/|REG_SZ|/p' | sort)" "$(settings_text | grep -v '^FullLife|' | sort)"
holds "FullLife saved as a number text" grep -qxE 'FullLife\|REG_SZ\|( [0-9]+|-[1-9][0-9]*)' <<<"$(settings_text)"

reg_add Options EnableAlarm 1
reg_add Options SoundFile 'C:\alarm.wav'
# Wine traces the calls into the sound library's one function, and what its sound thread plays.
w reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d winmm.sndPlaySoundA /f
WINEDEBUG=+relay,trace+winmm start_corvane_on_battery --ac 0 --percent 20
wait_meter
within 5 grep -aq 'proc_PlaySound SoundName=L"C:\\\\alarm.wav"' "$PROGRAM_LOG" || fail "no sound played"
expect_eq "the first tick low on battery: one asynchronous sndPlaySoundA" 1 "$(grep -ac 'Call winmm.sndPlaySoundA([0-9a-f]*,00000001)' "$PROGRAM_LOG" || true)"
expect_meter_follows_battery
stop_corvane
