#!/bin/bash
# The meter draws the battery as on Linux (see expect_meter_follows_battery), and low on battery the
# alarm is the system's sound call with the sound file's path, seen in Wine's trace of it.
source "$(dirname "$0")/lib.sh"
setup
reg_add Options EnableAlarm 1
reg_add Options SoundFile 'C:\alarm.wav'
# Wine traces the calls into the sound library's one function, and what its sound thread plays.
w reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d winmm.sndPlaySoundA /f
WINEDEBUG=+relay,trace+winmm start_corvane_on_battery --ac 0 --percent 20
wait_meter
sound_calls() { grep -ac 'Call winmm.sndPlaySoundA([0-9a-f]*,00000001)' "$LOG" || true; }
played() { grep -aq 'proc_PlaySound SoundName=L"C:\\\\alarm.wav"' "$LOG"; }
within 5 played || fail "no sound played"
expect_eq "the first tick low on battery: one asynchronous sndPlaySoundA" 1 "$(sound_calls)"
expect_meter_follows_battery
stop_corvane
