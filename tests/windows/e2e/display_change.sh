#!/bin/bash
# corvane.exe on two monitors whose primary one lies right of the other (tests/e2e/monitors.sh), and
# a new resolution set while it runs, through the call the display settings make: the meter stands in
# the primary monitor's corner before and after. Wine's X11 driver sets the mode with RandR and tells
# every program's windows, as Windows does. Before the change, with the alarm on, the meter draws the
# battery as on Linux (see expect_meter_follows_battery), and low on battery the alarm is the system's
# sound call with the sound file's path, seen in Wine's trace of it.
#   display_change.sh corvane.exe WINEDIR screen_size.exe
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=$3
source "$HERE/../../e2e/monitors.sh"

# The test's display is the Xorg whose monitors it arranges, not the shared Xvfb.
start_display() {
    start_monitors_display
    arrange_monitors 1280x800+0+0 "1920x1080+1280+0*"
}
setup
reg_add Options EnableAlarm 1
reg_add Options SoundFile 'C:\alarm.wav'
# Wine traces the calls into the sound library's one function, and what its sound thread plays.
w reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d winmm.sndPlaySoundA /f
WINEDEBUG=+relay,trace+winmm start_meter_at "the meter in the upper right corner of the primary monitor, right of the other one" \
    "3190 0 10 51" "${ON_BATTERY[@]}" --ac 0 --percent 20 --
within 5 grep -aq 'proc_PlaySound SoundName=L"C:\\\\alarm.wav"' "$PROGRAM_LOG" || fail "no sound played"
expect_eq "the first tick low on battery: one asynchronous sndPlaySoundA" 1 "$(grep -ac 'Call winmm.sndPlaySoundA([0-9a-f]*,00000001)' "$PROGRAM_LOG" || true)"
METER_AT=10x51+3190+0 expect_meter_follows_battery

expect_eq "the primary monitor's new resolution, as the program's screen" 1280x1024 "$(wout "$SCREEN_SIZE" 1280 1024)"
expect_eq "the monitors after the change" "1280x1024+1280+0* 1280x800+0+0" "$(monitors)"
expect_geometry "the meter went to the upper right corner of the primary monitor at its new resolution" "2550 0 10 51"
keep_shot wine-display-change

stop_corvane
expect_eq "the position choice is what it was" " 2" "$(saved Position)"
