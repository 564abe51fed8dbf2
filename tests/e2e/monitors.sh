#!/usr/bin/env bash
# An X server whose monitors a test can arrange and change while a program runs: Xorg with the dummy
# video driver, whose sixteen RandR outputs (DUMMY0 to DUMMY15) take any mode, place and primary flag
# xrandr gives them. Xvfb lists monitors made with "xrandr --setmonitor" but keeps none of them
# primary and refuses to change them afterwards, so it cannot stand for a desktop of several monitors.
#
# In a test, after lib.sh (which gives WORK and the helpers of common.sh):
#     source "$(dirname "$0")/monitors.sh"
#     start_monitors_display                      # sets DISPLAY; ended with the test
#     arrange_monitors 1280x800+0+0 1920x1080+1280+0*
# By hand, from a shell, for a look with your own programs (Ctrl-C ends it):
#     tests/e2e/monitors.sh 1280x800+0+0 1920x1080+1280+0*
#     DISPLAY=:N corvane                          # N as printed; arrange_monitors is "xrandr" there
#
# Xorg runs as whoever starts it, with a configuration, log and socket of its own; it shares the
# virtual terminal it finds rather than switching to one, so it leaves a desktop's console alone.

XORG_BIN=$(command -v /usr/lib/xorg/Xorg || command -v Xorg || true)

start_monitors_display() {
    [[ -x $XORG_BIN ]] || fail "no Xorg: scripts/install-deps installs xserver-xorg-core and the dummy driver"
    local dir=$WORK/xorg
    mkdir -p "$dir/conf.d"
    cp "$(dirname "${BASH_SOURCE[0]}")/dummy-monitors.conf" "$dir/xorg.conf"
    x_server 20 "$XORG_BIN" -sharevts -novtswitch -config "$dir/xorg.conf" -configdir "$dir/conf.d" -logfile "$dir/xorg.log"
    within 10 xrandr --query >/dev/null 2>&1 || fail "Xorg does not answer RandR"
}

# One monitor an argument, WIDTHxHEIGHT+X+Y, on DUMMY0, DUMMY1, ... in that order; a trailing *
# makes it the primary one. Every other output is switched off and the desktop takes the size that
# holds them all. A mode the driver does not list is added from its timings.
arrange_monitors() {  # WxH+X+Y[*] ...
    local args=() width=0 height=0 i=0 monitor geometry mode x y w h
    for monitor; do
        geometry=${monitor%\*} mode=${geometry%%+*}
        IFS=+ read -r _ x y <<<"$geometry"
        w=${mode%x*} h=${mode#*x}
        # shellcheck disable=SC2046  # the timings are words
        grep -q "^   $mode " <<<"$(xrandr --query)" ||
            xrandr --newmode "$mode" $(cvt "$w" "$h" 60 | sed -n 's/^Modeline "[^"]*"//p') 2>/dev/null || true
        xrandr --addmode "DUMMY$i" "$mode" 2>/dev/null || true
        args+=(--output "DUMMY$i" --mode "$mode" --pos "${x}x${y}")
        [[ $monitor == *\* ]] && args+=(--primary)
        width=$((x + w > width ? x + w : width)) height=$((y + h > height ? y + h : height)) i=$((i + 1))
    done
    for ((; i < 16; i++)); do args+=(--output "DUMMY$i" --off); done
    xrandr --fb "${width}x${height}" "${args[@]}" || fail "xrandr could not arrange $*"
    # A full query has the server look at its outputs again: a program that reads only what the server
    # last found (Wine does) would otherwise see the outputs switched on here as disconnected.
    xrandr --query >/dev/null
}

# "WxH+X+Y" of every active monitor, the primary one marked with *, in RandR's order.
monitors() {
    xrandr --listmonitors | awk 'NR > 1 {split($3, g, /[\/x+]/); printf "%s%sx%s+%s+%s%s", sep, g[1], g[3], g[5], g[6], ($2 ~ /^\+\*/ ? "*" : ""); sep = " "}'
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -euo pipefail
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/monitors.XXXXXX")
    TEST_SECONDS=86400  # a day: a session by hand is ended by hand
    source "$(dirname "$0")/common.sh"
    start_monitors_display
    [[ $# -eq 0 ]] || arrange_monitors "$@"
    echo "DISPLAY=$DISPLAY: $(monitors)   (Ctrl-C ends it; Xorg's log: $WORK/xorg/xorg.log)"
    wait "${BG_PIDS[-1]}"  # Xorg
fi
