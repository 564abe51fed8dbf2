#!/bin/bash
# The Windows bundle. The zip holds the stripped program (its size against its limit is a figure of
# bench/windows_program.sh). The installer, run silently per user and for all users, in the mode's own
# folder or the one /D= names, puts the program, its Start-menu shortcut and the user's Run value in
# place; the installed program starts from either and shows the meter; the uninstaller ends it and
# takes all of that away again, leaving the settings unless asked to remove them.
# Arguments: corvane.exe, the build's Wine folder, the installer, the build folder.
source "$(dirname "$0")/lib.sh"
INSTALLER=$(realpath "$3")
BUILD=$(realpath "$4")
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane'

(cd "$BUILD" && cpack -G ZIP -B "$WORK/zip" >"$WORK/cpack.log" 2>&1) || fail "cpack: $(cat "$WORK/cpack.log")"
zip=$WORK/zip/Corvane-2.2.0-win64.zip
unzip -p "$zip" Corvane-2.2.0-win64/corvane.exe >"$WORK/zipped.exe" || fail "the zip lacks corvane.exe: $(unzip -Z1 "$zip")"
cmp -s "$WORK/zipped.exe" "$EXE" || fail "the zip's corvane.exe is not the build's"
[[ $(x86_64-w64-mingw32-nm "$EXE" 2>&1) == *"no symbols"* ]] || fail "corvane.exe is not stripped"
pass "the zip's corvane.exe: the build's, stripped"

setup
# A folder Windows names, as a Linux path.
folder() { wout winepath -u "$(wout cmd /c echo "%$1%")"; }
run_value() { wout reg query "$RUN_KEY" /v Corvane | sed -n 's/^    Corvane    REG_SZ    //p'; }
uninstall_entry() { wine reg query "$1\\$UNINSTALL_KEY" /v InstallLocation </dev/null >/dev/null 2>&1; }
gone() { [[ ! -e $dir ]] && ! uninstall_entry "$hive"; }

# installs with the switches, and checks what it left: the program, its shortcut, the Run value and the
# uninstall entry in the install's own hive. Sets dir, lnk and hive.
install() {  # what, program folder, the folder Windows names whose Start menu it is, hive, switches...
    w "$INSTALLER" /S "${@:5}" || fail "$1: the installer failed"
    dir=$2 lnk="$(folder "$3")/Microsoft/Windows/Start Menu/Programs/Corvane.lnk" hive=$4
    cmp -s "$dir/corvane.exe" "$EXE" || fail "$1: no corvane.exe in $dir"
    local windows_dir
    windows_dir=$(wout winepath -w "$dir")
    grep -qiF "$windows_dir\corvane.exe" <<<"$(strings -a "$lnk")" || fail "$1: no shortcut to the program at $lnk"
    expect_eq "$1: the Run value" "\"$windows_dir\\corvane.exe\"" "$(run_value)"
    uninstall_entry "$hive" || fail "$1: no uninstall entry in $hive"
    pass "$1: program, shortcut, Run value and uninstall entry"
}

# Removes the install while its program runs; the uninstaller runs on from a copy of itself.
uninstall() {  # what, switches...
    w "$dir/uninstall.exe" /S "${@:2}" || fail "$1: the uninstaller failed"
    within 60 gone || fail "$1: still installed: $(ls "$dir" 2>&1)"
    within 5 program_ended || fail "$1: the program still runs"
    [[ ! -e $lnk ]] || fail "$1: the shortcut is left"
    expect_eq "$1: the Run value" "" "$(run_value)"
    pass "$1: program, shortcut, Run value and uninstall entry removed"
}

install "per user" "$(folder LOCALAPPDATA)/Programs/Corvane" APPDATA HKCU /CurrentUser
# The session starts what the Run value names.
eval "set -- $(run_value | sed 's/\\/\\\\/g')"
EXE=$1 start_meter_at "per user: the meter shown at the top right" "1014 0 10 51"
uninstall "per user" /CurrentUser
expect_eq "per user: the settings are left" " 0" "$(saved State)"

# Where /D= says, not in the mode's own folder: the installer puts the folder given back after either
# mode's choice alike. (Wine quotes an argument with a blank, and /D= takes no quotes: the folder here
# has none.)
install "for all users in a folder given" "$WINEPREFIX/drive_c/Shared/Meter" ProgramData HKLM /AllUsers '/D=C:\Shared\Meter'
# Started from the shortcut, by the shell, which hands the program on and ends: the program is the
# process of the meter's window.
w start /unix "$lnk"
within 60 found METER '^Corvane$' || fail "no meter from the shortcut"
CORVANE_PID=$(xdotool getwindowpid "$METER")
expect_geometry "for all users: the meter shown at the top right" "1014 0 10 51"
uninstall "for all users, settings too" /AllUsers /RemoveSettings
expect_eq "the settings are removed when asked" "" "$(settings_text)"
