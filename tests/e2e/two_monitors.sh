#!/usr/bin/env bash
# The meter on a desktop of two monitors whose primary one does not begin at the desktop's origin:
# LEFT, 1280x800 at +0+0, and RIGHT, 1920x1080 at +1280+0, the primary one. Every corner, the tooltip
# in each quarter, the preferences dialog, a remembered place and a drag are the primary monitor's
# (the About box is QtScreen.TheProgramsOriginIsThePrimaryMonitorsCorner's); then the primary
# monitor, a resolution and the monitors themselves change while the program runs. At twice the scale
# the same places come out in twice the pixels.
TEST_SECONDS=540
OWN_DISPLAY=monitors  # the Xorg of monitors.sh, not the lib's Xvfb
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/monitors.sh"

LEFT=1280x800+0+0
RIGHT=1920x1080+1280+0

start_monitors_display
arrange_monitors "$LEFT" "$RIGHT*"
expect_eq "the monitors as arranged" "1920x1080+1280+0* 1280x800+0+0" "$(monitors)"

# The program's menu on the meter: the program's one shown window that no window manager would manage.
menu_shown() { grep -q 'Override Redirect State: yes' <<<"$(for w in $(xdotool search --onlyvisible --class '^corvane$' 2>/dev/null); do xwininfo -id "$w" 2>/dev/null; done)"; }
POSITION_SPOT=([0]="37 109" [2]="121 109" [1]="37 153" [3]="121 153")  # the options' buttons in the preferences dialog

# ---- Every corner, the tooltip in every quarter, the preferences dialog ----
start_meter "${ON_BATTERY[@]}" --ac 0 --percent 57 --
within 5 shows 3194 45 00FF00 || fail "no green bar: the battery has not been read"
# Each corner in turn, from the upper right one a first start takes: the position, where the meter
# goes, the side and half of its tooltip. The preferences dialog, opened there from the meter's menu to
# choose the next, stands half-way across and down the primary monitor, halves to the even pixel.
for step in "2 3190 0 left upper" "1 1280 1029 right lower" "0 1280 0 right upper" "3 3190 1029 left lower"; do
    read -r position x y side half <<<"$step"
    [[ $position == 2 ]] || closes 'Preferences$' OK click_in_dialog ${POSITION_SPOT[$position]} $OK_SPOT
    expect_geometry "position $position: its corner of the primary monitor" "$x $y 10 51"
    expect_tooltip_beside "two-monitors-tooltip-$side-$half" "position $position" "$x" "$y" "$side" "$half"
    [[ $position == 3 ]] && break
    right_click $((x + 4)) $((y + 20))
    within 5 menu_shown || fail "no menu after a right click on the meter"
    xdotool key Down Down Return
    within 5 eval '! menu_shown' || fail "the menu stayed up"
    wait_dialog 'Preferences$'
    keep_shot "two-monitors-preferences-$position"
    expect_eq "the preferences dialog centred on the primary monitor" "2090 368 299 345" "$DIALOG_X $DIALOG_Y $DIALOG_W $DIALOG_H"
done

# ---- The monitors change while it runs: the corner meter goes along ----
arrange_monitors "$LEFT*" "$RIGHT"
expect_geometry_of "$METER" "LEFT made primary: its lower right corner" "1270 749 10 51"
arrange_monitors "1024x768+0+0*" "$RIGHT"
expect_geometry_of "$METER" "LEFT at 1024x768: its lower right corner" "1014 717 10 51"
keep_shot two-monitors-corner-after-change
stop_corvane TERM
expect_saved "Position= 3"  # the last chosen

# ---- A remembered place, a drag, and a monitor that goes; at twice the scale too ----
# From the place stored 6000,3000 twips from the primary monitor's corner (taken again after a move),
# in SCALE pixels a pixel; with "drag", dragged away and stopped at the primary monitor's left edge.
# Then LEFT made primary: the meter stays where it stands, on RIGHT; RIGHT gone: it comes back inside
# LEFT, at its right edge.
remembered_place() {  # what, scale, drag or "", command prefix...
    local s=$2 x=$((1280 + 400 * $2)) y=$((200 * $2)) size="$((10 * $2)) $((51 * $2))"
    arrange_monitors "$LEFT" "$RIGHT*"
    printf '[Form]\nPosition=4\nLeft=6000\nTop=3000\n' | write_ini
    start_meter "${@:4}"
    expect_put_back "$1: stored place 6000,3000 twips from the primary monitor's corner" "$x $y $size"
    if [[ $3 == drag ]]; then
        drag 1685 220 1885 420
        expect_geometry "$1: follows the cursor" "1880 400 $size"
        drag 1885 420 900 420
        expect_geometry "$1: stops at the primary monitor's left edge" "1280 400 $size"
        x=1280 y=400
    fi
    arrange_monitors "$LEFT*" "$RIGHT"
    sleep "$SLOWNESS"  # nothing is to move: time for the program to hear of the change
    expect_geometry "$1: LEFT made primary, the meter stays where it stands, on RIGHT" "$x $y $size"
    arrange_monitors "$LEFT*"
    expect_geometry "$1: RIGHT gone, the meter back inside LEFT, at its right edge" "$((1280 - 10 * s)) $y $size"
    keep_shot "two-monitors-any-place-after-change-$s"
    stop_corvane TERM
}
remembered_place "scale 1" 1 drag
expect_saved "Left= 19050" "Top= 6000" "Position= 4"  # the place in LEFT's frame

# Twice the scale, asked of Qt or given by the X resources: the same places in twice the pixels.
arrange_monitors "$LEFT" "$RIGHT*"
rm -f "$INI"
start_meter_at "scale 2: upper right corner of the primary monitor" "3180 0 20 102" env QT_SCALE_FACTOR=2
arrange_monitors "$LEFT*" "$RIGHT"
expect_geometry "scale 2: LEFT made primary, its upper right corner" "1260 0 20 102"
keep_shot two-monitors-scale-2
stop_corvane TERM
remembered_place "QT_SCALE_FACTOR=2" 2 "" env QT_SCALE_FACTOR=2
echo "Xft.dpi: 192" | xrdb -merge
remembered_place "Xft.dpi: 192" 2 ""
