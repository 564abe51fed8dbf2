#!/usr/bin/env bash
# The Windows program's own figures: the size of corvane.exe against its limit of 600 KB, and, with
# --objects, the GDI and USER objects the whole program holds after a minute of ticks and after a day
# of them by its clock (the backend test that ticks it under Wine, each tick followed by every message
# it caused). Figures only; the limit is printed beside the size, not enforced.
#   bench/windows_program.sh [--build DIR] [--objects]
# --build is the MinGW build folder (build/windows by default); what is missing there is built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build/windows objects=
usage() { echo "usage: $0 [--build DIR] [--objects]" >&2; exit 2; }
while (($#)); do
    case $1 in
        --build) (($# >= 2)) || usage; build=$2; shift ;;
        --objects) objects=1 ;;
        *) usage ;;
    esac
    shift
done
build=$(realpath "$build")
cmake --build "$build" --target corvane >/dev/null ||
    { echo "cannot build corvane.exe in $build" >&2; exit 1; }
size=$(stat -c %s "$build/corvane.exe")
awk -v s="$size" 'BEGIN { printf "corvane.exe: %d bytes, %.0f KB, against at most 600 KB: %s\n", s, s / 1024,
                          s <= 600 * 1024 ? "met" : "NOT met" }'
[[ -n $objects ]] || exit 0
cmake --build "$build" --target corvane_win32_tests >/dev/null ||
    { echo "cannot build the backend tests in $build" >&2; exit 1; }
"$here/../tests/windows/wine-run" "$build/wine" "$build/tests/windows/corvane_win32_tests.exe" \
    --gtest_filter='RuntimeTest.TheMetersTicks*' | grep -E 'GDI and USER|OK \]|FAILED'
