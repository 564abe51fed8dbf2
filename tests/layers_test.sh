#!/usr/bin/env bash
# Fails when a file includes across the layers the wrong way. From the bottom up: the forms library
# (platform/*), the backends over it (platform/headless, qt, win32, linux), the program's subsystems
# (shell, monitor, tooltip, options, about) over the forms library, and app/ over everything. So:
#   - the forms library and the backends include no header of the program and name no form;
#   - the program includes no backend;
#   - no two folders include each other, however far round.
#   layers_test.sh [repository root]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2

program='^(shell|monitor|tooltip|options|about|app)/'
backend='^platform/(headless|qt|win32|linux)/'
status=0
edges=$(mktemp)
trap 'rm -f "$edges" "$edges.loop"' EXIT
wrong() { echo "$@" && status=1; }  # what is wrong

while IFS=: read -r file _ target; do
    from=$(dirname "$file")
    [[ $target == */* ]] || continue  # a file of the same folder, or one the build makes
    to=$(dirname "$target")
    [[ $file == platform/* && $target =~ $program ]] && wrong "$file includes the program's $target"
    [[ $file =~ $program && $target =~ $backend ]] && wrong "$file includes the backend's $target"
    [[ $from != "$to" ]] && echo "$from $to" >>"$edges"
done < <(grep -rHoE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' \
             platform shell monitor tooltip options about app resources | sed -E 's/:[^"]*"([^"]+)"$/::\1/')

grep -rnE --include='*.h' --include='*.cpp' '\bfrm[A-Z][A-Za-z]*' platform &&
    wrong "the forms library and the backends name no form"

# tsort names the folders that include each other round in a loop.
sort -u "$edges" | tsort >/dev/null 2>"$edges.loop" || wrong "folders that include each other: $(cat "$edges.loop")"
exit $status
