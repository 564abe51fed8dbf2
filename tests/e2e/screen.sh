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

# The meter as it first appears, upright and 10x51 at the top right of a 1024-wide screen: one line of
# RRGGBB words a row, the border strip, the eight pixels of the surface, the border strip.
meter_picture() {
    "$CONVERT" "$WORK/shot.png" -crop 10x51+1014+0 +repage -depth 8 txt:- |
        awk 'NR > 1 {split($1, p, /[,:]/); rows[p[2]] = rows[p[2]] (p[1] ? " " : "") substr($3, 2, 6)}
             END {for (y = 0; y < 51; y++) print rows[y]}'
}

# What that meter shows in the default colours: the grid on every tenth row over the bar, which runs
# from row TOP to the bottom with its left and right halves in the colours given, and the grey
# background above the bar. A TOP of 51 is no bar at all.
drawn_meter() {  # top left-colour [right-colour]
    local y l r
    for y in $(seq 0 50); do
        l=808080 r=808080
        if ((y >= $1)); then l=$2 r=${3:-$2}; fi
        if ((y % 10 == 0)); then l=FFFFFF r=FFFFFF; fi
        echo "FFFFFF $l $l $l $l $r $r $r $r FFFFFF"
    done
}

# Takes screenshots until the meter shows the picture, for up to the seconds given (5 by default);
# fails with the rows that differ.
expect_meter() {  # what, picture, [seconds]
    local deadline=$(($(date +%s%3N) + ${3:-5} * 1000)) got
    for (( ; ; )); do
        screenshot
        got=$(meter_picture)
        [[ $got == "$2" ]] && return 0
        (($(date +%s%3N) < deadline)) || break
        sleep 0.1
    done
    fail "$1: the meter's rows differ (< shown, > expected):
$(diff <(echo "$got") <(echo "$2") | grep '^[<>]')"
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
