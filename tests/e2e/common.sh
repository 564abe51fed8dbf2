# What a user sees of a window on an X screen, for the end-to-end tests of both programs (the Linux
# one, and the Windows one under Wine). Sourced after WORK is set.

# ImageMagick itself, not a wrapper that may stand before it on the PATH.
CONVERT=$(command -v /usr/bin/convert || command -v convert)

geometry() {  # "x y width height" of an X window, in pixels
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                             /  Width:/ {w=$NF} /  Height:/ {h=$NF} END {print x, y, w, h}'
}

screenshot() { import -window root "$WORK/shot.png"; }
pixel() { "$CONVERT" "$WORK/shot.png" -format "%[hex:p{$1,$2}]" info:; }  # RRGGBB

row() {  # the colours of pixels X1..X2 of row Y, as RRGGBB words
    "$CONVERT" "$WORK/shot.png" -crop "$(($2 - $1 + 1))x1+$1+$3" +repage -depth 8 txt:- |
        awk 'NR > 1 {printf "%s%s", sep, substr($3, 2, 6); sep = " "}'
}

# Takes screenshots until a pixel shows the colour (up to 5 s), so the checks read a painted screen.
screenshot_when() {  # x y RRGGBB
    local i
    for i in $(seq 50); do
        screenshot
        [ "$(pixel "$1" "$2")" == "$3" ] && return 0
        sleep 0.1
    done
}

# Covers a part of the screen with another window for a moment; what was under it must be painted
# again by its owner.
cover_for_a_moment() {  # x y width height
    xmessage -geometry "$3x$4+$1+$2" -bg black -fg black "cover" >/dev/null 2>&1 &
    local cover=$! i
    for i in $(seq 50); do
        xdotool search --onlyvisible --class Xmessage >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 0.3
    kill "$cover"
    wait "$cover" 2>/dev/null || true
}
