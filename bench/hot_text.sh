#!/usr/bin/env bash
# Writes cmake/hot_text.ld: the functions of the Linux program that run while it starts and then sits
# in the tray, which the release link puts together at the front of the program's code.
#
# The kernel maps a program's pages in blocks of 64 KB around each page it touches, so code run at rest
# that lies spread over the whole program keeps all of it resident. Gathered in front, it stays within
# one block, and the code for the preferences, the About box, the help and the errors is not mapped
# until it runs.
#
# Runs the release program under callgrind on an Xvfb screen with a tray, over a fake battery on battery
# power at 57 %, for --seconds, and takes every function of the program that ran until then (its exit
# not included); those that run in the --rest seconds after that, when it only ticks, go first, so a
# tick runs over a few pages of code. Run it again when the code run at rest has changed much: a
# function missing from the list still works, it only costs a block of memory more.
#
#   bench/hot_text.sh [--seconds N] [--rest N] [--build DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=120 rest=30
build=$here/../build/release
while (($#)); do
    (($# >= 2)) || { echo "usage: $0 [--seconds N] [--rest N] [--build DIR]" >&2; exit 2; }
    case $1 in
        --seconds) seconds=$2 ;;
        --rest) rest=$2 ;;
        --build) build=$2 ;;
        *) echo "usage: $0 [--seconds N] [--rest N] [--build DIR]" >&2; exit 2 ;;
    esac
    shift 2
done
build=$(realpath "$build")
source "$here/need.sh"
need valgrind valgrind
for tool in Xvfb trayer ninja nm c++filt; do
    command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps)" >&2; exit 1; }
done
cmake --build "$build" --target corvane >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-hot.XXXXXX")
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The release program is linked stripped: the same link again, keeping the names.
link=$(ninja -C "$build" -t commands corvane | tail -n1)
link=${link/ -s / }
link=${link/ -o corvane / -o $work/corvane }
(cd "$build" && eval "$link")

mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display") XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$here/../tools/fakebattery/with-fake-battery" --ac 0 --percent 57 --dir "$work/battery" -- \
    valgrind --tool=callgrind --callgrind-out-file="$work/calls" "$work/corvane" >"$work/out.log" 2>&1 &
pids+=($!)
sleep "$seconds"
# Two lists: what ran until then (the start and some ticks), and what runs in --rest seconds after
# that, when the program only ticks.
dump() {  # number
    callgrind_control -d "$work/corvane" >/dev/null 2>&1
    for _ in $(seq 600); do [[ -s $work/calls.$1 ]] && break; sleep 0.1; done
    [[ -s $work/calls.$1 ]] || { echo "callgrind wrote nothing: $(cat "$work/out.log")" >&2; exit 1; }
    callgrind_annotate --threshold=100 --inclusive=no "$work/calls.$1" |
        sed -nE "s/^ *[0-9,]+ +\([^)]*\) +[^:]*:(.*) \[[^]]*\]\$/\1/p" | sed "s/'[0-9]*\$//" | sort -u >"$2"
}
dump 1 "$work/ran"
# Under callgrind the program starts slowly: a list taken before the meter was drawn misses its drawing.
grep -q 'QtPixelsWidget::paintEvent' "$work/ran" ||
    { echo "the meter was not drawn within $seconds s: run again with more --seconds" >&2; exit 1; }
sleep "$rest"
dump 2 "$work/ticking"
# The program's functions by address, with their names as the sections carry them and as read.
nm "$work/corvane" | awk '$2 ~ /^[tTwW]$/ {print $1, $3}' >"$work/mangled"
awk '{print $2}' "$work/mangled" | c++filt >"$work/demangled"
# The section of every function of the program whose name is in list $1 and not in list $2 (aliases
# of one function, as constructors have, share its address and go with it).
sections() {  # list [list to leave out]
    paste -d '\t' "$work/mangled" "$work/demangled" |
        awk -F '\t' 'FILENAME == ARGV[1] {ran[$0] = 1; next} FILENAME == ARGV[2] {out[$0] = 1; next}
                     {split($1, a, " ")} ($2 in ran) && !($2 in out) {hot[a[1]] = 1}
                     {name[a[2]] = a[1]} END {for (n in name) if (hot[name[n]]) print n}' "$1" "${2:-/dev/null}" - |
        sort -u | sed 's/^/    *(.text./; s/$/)/'
}
ld=$here/../cmake/hot_text.ld
{
    echo "/* The functions run at start and at rest, in front of the rest of the code (bench/hot_text.sh"
    echo "   writes this file): first those of every tick, on as few pages as they fit, then those of the start. */"
    echo "SECTIONS"
    echo "{"
    echo "  .text.hot_at_rest :"
    echo "  {"
    sections "$work/ticking"
    echo "    *crt1.o(.text .text.*)"
    echo "    *crti.o(.text .text.*)"
    echo "    *crtbeginS.o(.text .text.*)"
    echo "    *libc_nonshared.a:*(.text .text.*)"
    echo "    *(.text.startup .text.startup.*)"
    sections "$work/ran" "$work/ticking"
    echo "  }"
    echo "}"
    echo "INSERT BEFORE .text;"
} >"$ld"
echo "$(sections "$work/ticking" | wc -l) functions run at every tick"
echo "$(grep -c '^    \*(\.text\._' "$ld") functions in $(realpath "$ld")"

# Relinked with the new list: the block the kernel maps first is 64 KB, and all of it should be in it.
cmake --build "$build" --target corvane >/dev/null
read -r start end < <(readelf -SW "$build/corvane" | sed 's/^ *\[ *[0-9]*\] //' |
    awk '$1 == ".init" {s = $3} $1 == ".text.hot_at_rest" {e = $3 " " $5} END {print s, e}' |
    { read -r s a n; echo $((16#$s)) $((16#$a + 16#$n)); })
echo "code run at rest: $(((end - start) / 1024)) KB from the start of the code, in a block of 64 KB"
