#!/usr/bin/env bash
# The icon files the build draws, read back by an independent decoder: every file decodes (a bad
# checksum or block fails it), has the sizes it should (the ICO's entries, one compressed theme icon a
# size, which the install copies as they are), the PNG and the ICO's 32x32 entry hold the same pixels
# (rows, channel order, alpha), and the four hand pictures differ from one another.
#   icon_files_test.sh FOLDER_OF_GENERATED_ICONS
set -euo pipefail
dir=${1:?usage: icon_files_test.sh FOLDER}
im() { "$(command -v "/usr/bin/$1" || command -v "$1")" "${@:2}"; }  # ImageMagick itself
fail() { echo "FAIL: $*" >&2; exit 1; }
differing() { im compare -metric AE "$1" "$2" null: 2>&1 || true; }
identifies() { [ "$(im identify -format "$2" "$dir/$1")" == "$3" ] || fail "$1: not $3"; }  # file, format, what it prints

identifies corvane.ico '%wx%h ' "32x32 16x16 24x24 48x48 "
for n in 16 22 24 32 48 64 128 256; do
    f=hicolor/${n}x$n/apps/corvane.png
    identifies "$f" '%m %wx%h %A' "PNG ${n}x$n True"
    # Compressed: at most a byte a pixel and the headers (stored, they take over four).
    [ "$(stat -c %s "$dir/$f")" -le $((n * n + 512)) ] || fail "theme icon $f: $(stat -c %s "$dir/$f") bytes"
done
[ "$(differing "$dir/corvane.png" "$dir/hicolor/32x32/apps/corvane.png")" == 0 ] || fail "two 32-pixel icons"
for f in corvane hands-up hands-right hands-down hands-left; do identifies "$f.png" '%m %wx%h %A' "PNG 32x32 True"; done
for f in minus plus; do identifies "$f.png" '%m %wx%h' "PNG 12x12"; done
[ "$(differing "$dir/corvane.png" "$dir/corvane.ico[0]")" == 0 ] || fail "PNG and ICO pixels differ"
for pair in up/right up/down up/left right/down right/left down/left; do
    n=$(differing "$dir/hands-${pair%/*}.png" "$dir/hands-${pair#*/}.png")
    [ "$n" -gt 10 ] || fail "hands ${pair/\// and } look alike ($n pixels differ)"
done
# A transparent corner, and a blue body below the clock face.
[ "$(im convert "$dir/corvane.png" -format '%[fx:p{0,0}.a]' info:)" == 0 ] || fail "corner not transparent"
[ "$(im convert "$dir/corvane.png" -format '%[fx:p{16,28}.b > p{16,28}.r + 0.2 ? 1 : 0]' info:)" == 1 ] || fail "body not blue"
echo "PASS: icon files decode, agree and differ where they should"
