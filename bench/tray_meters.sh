#!/usr/bin/env bash
# The Linux program side by side with other battery meters named on the command line, each run the
# same way: alone on an Xvfb screen of its own with a tray, over the same fake battery (on battery
# power at 57 %), ticking for a while at rest. Prints per program: CPU seconds per hour (its own, and
# with the X server's and the tray's share), wake-ups per second (context switches of its threads),
# peak resident memory, and start-up time (the median of three, to the first change on the screen).
# Figures only; not a pass/fail test.
#   bench/tray_meters.sh [--seconds N] [--program PATH] [--peer NAME=COMMAND]...
# A peer's COMMAND is run by the shell, e.g. --peer 'other-1s=other-meter --interval 1'.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=120
program=$here/../build/release/corvane
names=() commands=()
while (($#)); do
    case $1 in
        --seconds) seconds=$2 ;;
        --program) program=$2 ;;
        --peer) names+=("${2%%=*}") commands+=("${2#*=}") ;;
        *) echo "usage: $0 [--seconds N] [--program PATH] [--peer NAME=COMMAND]..." >&2; exit 2 ;;
    esac
    shift 2
done
program=$(realpath "$program")
[[ -x $program ]] || { echo "no program at $program (cmake --build --preset release)" >&2; exit 1; }
names=(corvane "${names[@]}") commands=("'$program'" "${commands[@]}")
for tool in Xvfb trayer xwd xdotool; do
    command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/corvane-bench.XXXXXX)
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Run time of all the threads of the processes, in nanoseconds, and their context switches.
cpu_ns() { local p; for p; do cat /proc/"$p"/task/*/schedstat; done 2>/dev/null | awk '{n += $1} END {print n + 0}'; }
switches() {
    local p
    for p; do cat /proc/"$p"/task/*/status; done 2>/dev/null | awk '/ctxt_switches/ {n += $2} END {print n + 0}'
}
# Time of the children the process has reaped (a meter may run a helper at every reading), in ns.
children_ns() { awk -v hz="$(getconf CLK_TCK)" '{printf "%d\n", ($16 + $17) * 1e9 / hz}' "/proc/$1/stat"; }
screen_sum() { xwd -root -silent | md5sum; }

# Starts the command over the fake battery and waits for the screen to change; sets PID and STARTUP_MS.
start() {  # run-folder command
    local before t0 wrapper
    before=$(screen_sum)
    t0=$(date +%s%N)
    "$here/../tests/fakebattery/with-fake-battery" --ac 0 --percent 57 --dir "$1/battery" -- \
        sh -c "exec $2" >"$1/out.log" 2>&1 &
    wrapper=$!
    pids+=("$wrapper")
    for _ in $(seq 1000); do
        [[ $(screen_sum) != "$before" ]] && break
        sleep 0.005
    done
    STARTUP_MS=$((($(date +%s%N) - t0) / 1000000))
    # With a battery folder of its own the wrapper and the shell exec the command: it runs as the
    # wrapper's own process.
    PID=$wrapper
    kill -0 "$PID" 2>/dev/null || PID=
}

stop() {  # pid
    kill "$1" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    sleep 1  # the screen back as it was
}

measure() {  # name command
    local run=$work/$1 xvfb tray starts=()
    mkdir -p "$run/config" "$run/runtime"
    chmod 700 "$run/runtime"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$run/display" 2>/dev/null &
    xvfb=$!
    pids+=("$xvfb")
    for _ in $(seq 100); do [[ -s $run/display ]] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$run/display") XDG_RUNTIME_DIR=$run/runtime XDG_CONFIG_HOME=$run/config
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
    tray=$!
    pids+=("$tray")
    sleep 1
    # Start-up three times, the median counts; the third run is the one measured at rest.
    for i in 1 2 3; do
        start "$run" "$2"
        starts+=("$STARTUP_MS")
        [[ -n $PID ]] || { echo "$1: did not start: $(cat "$run/out.log")" >&2; return; }
        ((i == 3)) || stop "$PID"
    done
    sleep 5  # past whatever a program does once after it appears

    local c0 s0 k0 x0 c1 s1 k1 x1 hwm
    c0=$(cpu_ns "$PID") s0=$(switches "$PID") k0=$(children_ns "$PID") x0=$(cpu_ns "$xvfb" "$tray")
    sleep "$seconds"
    c1=$(cpu_ns "$PID") s1=$(switches "$PID") k1=$(children_ns "$PID") x1=$(cpu_ns "$xvfb" "$tray")
    hwm=$(awk '$1 == "VmHWM:" {print $2}' "/proc/$PID/status")
    awk -v name="$1" -v s="$seconds" -v own=$((c1 - c0)) -v kids=$((k1 - k0)) -v x=$((x1 - x0)) \
        -v sw=$((s1 - s0)) -v hwm="$hwm" -v start="$(printf '%s\n' "${starts[@]}" | sort -n | sed -n 2p)" 'BEGIN {
            per_hour = 3600 / s / 1e9
            printf "%-16s %9.2f %14.2f %12.2f %12.1f %12d\n", name, (own + kids) * per_hour,
                   (own + kids + x) * per_hour, sw / s, hwm / 1024, start }'
    stop "$PID"
    kill "$tray" "$xvfb" 2>/dev/null || true
    wait "$tray" "$xvfb" 2>/dev/null || true
}

printf 'Each at rest for %s s on battery power at 57 %%, alone on its screen with a tray.\n' "$seconds"
printf '%-16s %9s %14s %12s %12s %12s\n' program "CPU s/h" "with X+tray" "wake-ups/s" "peak RSS MB" "start-up ms"
for i in "${!names[@]}"; do measure "${names[$i]}" "${commands[$i]}"; done
