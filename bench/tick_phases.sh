#!/usr/bin/env bash
# What one tick costs, phase by phase: runs the headless tick benchmark (the whole program over the
# headless backend, the battery read from a supply tree by the Linux reader) once for its times, then
# under callgrind, and prints the instructions per tick of the reading, the estimate, the status text,
# the drawing, the comparison with the picture on screen and the rest of the tick. Instructions do not
# depend on the load of the machine, times do. Figures only; not a pass/fail test.
#   bench/tick_phases.sh [--build DIR] [--ticks N]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build/release ticks=100000
while (($#)); do
    (($# >= 2)) || { echo "usage: $0 [--build DIR] [--ticks N]" >&2; exit 2; }
    case $1 in
        --build) build=$2 ;;
        --ticks) ticks=$2 ;;
        *) echo "usage: $0 [--build DIR] [--ticks N]" >&2; exit 2 ;;
    esac
    shift 2
done
source "$here/need.sh"
need valgrind valgrind
cmake --build "$build" --target corvane_bench_ticks >/dev/null || { echo "cannot build the benchmark in $build" >&2; exit 1; }
bench=$build/bench/corvane_bench_ticks

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-ticks.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$bench" "$ticks"
valgrind --tool=callgrind --callgrind-out-file="$work/out" "$bench" "$ticks" >/dev/null 2>"$work/log" ||
    { cat "$work/log" >&2; exit 1; }
callgrind_annotate --inclusive=yes --threshold=100 "$work/out" >"$work/inclusive"

# Inclusive instructions of the functions whose names match, summed.
cost() { awk -v re="$1" '$0 ~ re { gsub(",", "", $1); n += $1 } END { print n + 0 }' "$work/inclusive"; }
read_=$(cost 'SysfsPowerReader::read\(\)')
tick=$(cost 'frmMonitor::tmrMain_Timer\(\)')
estimate=$(cost 'frmMonitor::Get(Charge|Discharge)Time\(')
text=$(cost 'frmMonitor::GetStatusText(\[abi:cxx11\])?\(')
draw=$(cost 'frmMonitor::Draw(Meter|Grid)\(\)')
compare=$(cost 'Form::presentPixels\(\)')
total=$(awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }' "$work/inclusive")
awk -v n="$ticks" -v r="$read_" -v t="$tick" -v e="$estimate" -v s="$text" -v d="$draw" -v c="$compare" \
    -v all="$total" 'BEGIN {
        printf "Instructions per tick, over %d ticks:\n", n
        printf "  %-58s %9.0f\n", "reading the supply tree (Linux reader)", r / n
        printf "  %-58s %9.0f\n", "the tick handler in all, of which", t / n
        printf "  %-58s %9.0f\n", "  estimate", e / n
        printf "  %-58s %9.0f\n", "  status text, without the estimate", (s - e) / n
        printf "  %-58s %9.0f\n", "  drawing", d / n
        printf "  %-58s %9.0f\n", "  the rest: reading the record, history, blink, alarm, tip", (t - s - d) / n
        printf "  %-58s %9.0f\n", "comparison with the picture on screen", c / n
        printf "  %-58s %9.0f\n", "everything, with the benchmark loop and the start", all / n
    }'
