#!/usr/bin/env bash
# Figures for the Linux program at rest: start-up time to the meter on screen, memory, CPU time and
# wake-ups (context switches) over a measured interval. Prints figures; it is not a pass/fail test.
#   bench/linux_idle.sh [path/to/corvane] [seconds]
set -euo pipefail
program=$(realpath "${1:-build/release/corvane}")
seconds=${2:-20}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")" XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/cfg"

t0=$(date +%s%N)
"$program" &
pid=$!
until xdotool search --onlyvisible --name '^Corvane$' >/dev/null 2>&1; do sleep 0.005; done
t1=$(date +%s%N)
sleep 3  # past the one-off re-placement two seconds after start

field() { awk -v k="$1" '$1 == k":" {print $2}' "/proc/$pid/status"; }
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
switches() { echo $(($(field voluntary_ctxt_switches) + $(field nonvoluntary_ctxt_switches))); }
c0=$(ticks); s0=$(switches)
sleep "$seconds"
c1=$(ticks); s1=$(switches)
hz=$(getconf CLK_TCK)

printf 'start-up to meter on screen: %d ms\n' $(((t1 - t0) / 1000000))
printf 'resident memory: %s kB (peak %s kB)\n' "$(field VmRSS)" "$(field VmHWM)"
printf 'CPU time over %ss at rest: %s ms\n' "$seconds" $(((c1 - c0) * 1000 / hz))
awk -v n=$((s1 - s0)) -v s="$seconds" 'BEGIN { printf "wake-ups (context switches) per second at rest: %.2f\n", n / s }'
kill -TERM "$pid"
wait "$pid"
