#!/usr/bin/env bash
# The Linux program beside the floor (a Qt program that shows a window and wakes once a second to do
# nothing) and beside other battery meters named on the command line, all in one run. Each runs alone
# on an Xvfb screen of its own with a tray, over a fake battery of its own (on battery power at 57 %).
#
# Start-up first, one program after the other: exec to the first change on its screen, the median of
# --starts. Then all of them at rest at once, so the load of the machine falls on each alike: --rounds
# rounds of --seconds, each measured by perf (task-clock and context switches of the process and of
# the children it starts), with the X server's and the tray's task-clock beside, and the machine's
# load during the round. Last the peak resident memory of each.
#
# Prints figures, per round and as medians, the excess over the floor, and how the first program (the
# one under test) stands against the goals. Not a pass/fail test: CPU figures on a shared machine are
# noisy, so read them with the load printed beside them.
#
#   bench/tray_meters.sh [--seconds N] [--rounds N] [--starts N] [--build DIR] [--program PATH]
#                        [--peer NAME=COMMAND]...
# --build is the build folder (release by default) that holds the program, the floor and the screen
# watcher; the last two are built there when missing. A peer's COMMAND is run by the shell, e.g.
# --peer 'other-1s=other-meter --interval 1'; another build of this program is a peer like any other,
# and so is the floor with a tray icon (its --tray), which tells what the icon costs by itself, and the
# floor that also reads one value a second (--read FILE, e.g. the adapter's online file), which tells
# what reading anything once a second costs, whatever is made of it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=75 rounds=3 starts=5
build=$here/../build/release
program=
names=() commands=()
usage() {
    echo "usage: $0 [--seconds N] [--rounds N] [--starts N] [--build DIR] [--program PATH] [--peer NAME=COMMAND]..." >&2
    exit 2
}
while (($#)); do
    (($# >= 2)) || usage
    case $1 in
        --seconds) seconds=$2 ;;
        --rounds) rounds=$2 ;;
        --starts) starts=$2 ;;
        --build) build=$2 ;;
        --program) program=$2 ;;
        --peer) names+=("${2%%=*}") commands+=("${2#*=}") ;;
        *) usage ;;
    esac
    shift 2
done
build=$(realpath "$build")
program=$(realpath "${program:-$build/corvane}")
[[ -x $program ]] || { echo "no program at $program (cmake --build --preset release)" >&2; exit 1; }
for tool in Xvfb trayer; do
    command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps)" >&2; exit 1; }
done
source "$here/need.sh"
need perf linux-perf
perf stat -e task-clock true >/dev/null 2>&1 || {
    echo "perf cannot count here (kernel.perf_event_paranoid is $(cat /proc/sys/kernel/perf_event_paranoid))" >&2
    exit 1
}
cmake --build "$build" --target corvane_bench_floor corvane_bench_first_frame >/dev/null ||
    { echo "cannot build the floor and the screen watcher in $build" >&2; exit 1; }
floor=$build/bench/corvane_bench_floor watcher=$build/bench/corvane_bench_first_frame
names=(corvane floor "${names[@]}") commands=("'$program'" "'$floor'" "${commands[@]}")

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-bench.XXXXXX")
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A screen with a tray for program number $1; sets its DISPLAY and folders in the environment and
# XVFB and TRAY to their process ids.
screen_up() {
    local run=$work/$1
    mkdir -p "$run/config" "$run/runtime"
    chmod 700 "$run/runtime"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$run/display" 2>/dev/null &
    XVFB=$!
    pids+=("$XVFB")
    for _ in $(seq 100); do [[ -s $run/display ]] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$run/display") XDG_RUNTIME_DIR=$run/runtime XDG_CONFIG_HOME=$run/config
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
    TRAY=$!
    pids+=("$TRAY")
    sleep 1
}

# Starts command $2 over the fake battery in run folder $1; the command takes the wrapper's process,
# whose id goes to PID. The shell notes the time just before it becomes the command.
launch() {
    "$here/../tools/fakebattery/with-fake-battery" --ac 0 --percent 57 --dir "$1/battery" -- \
        bash -c 'echo "$EPOCHREALTIME" >"$1"; eval "exec $2"' launch "$1/exec-time" "$2" >"$1/out.log" 2>&1 &
    PID=$!
    pids+=("$PID")
}

stop() {  # pid
    kill "$1" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# Milliseconds from exec to the first change on the screen, or "-" when nothing showed.
start_once() {  # run-folder command
    local frame
    rm -f "$1/exec-time"
    "$watcher" 20 >"$1/frame" &
    local watching=$!
    for _ in $(seq 500); do grep -q ready "$1/frame" 2>/dev/null && break; sleep 0.01; done
    launch "$1" "$2"
    if wait "$watching" && [[ -s $1/exec-time ]]; then
        frame=$(tail -n1 "$1/frame")
        awk -v a="$(cat "$1/exec-time")" -v b="$frame" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
    else
        echo -
    fi
    stop "$PID"
    sleep 1  # the tray settles before the next start
}

median() { sort -g | awk '{v[NR] = $1} END {print NR ? (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) : "-"}'; }

# The machine's busy share of all its cores between two readings of /proc/stat.
cpu_busy() { awk '$1 == "cpu" {print $2 + $3 + $4 + $7 + $8 + $9, $5 + $6}' /proc/stat; }

declare -A startup runpid xpids
printf 'Start-up (exec to the first change on the screen), %s starts each, one program at a time.\n' "$starts"
for i in "${!names[@]}"; do
    screen_up "$i"
    times=()
    for _ in $(seq "$starts"); do times+=("$(start_once "$work/$i" "${commands[$i]}")"); done
    startup[$i]=$(printf '%s\n' "${times[@]}" | grep -v '^-$' | median)
    printf '  %-18s %s ms\n' "${names[$i]}" "${times[*]}"
    launch "$work/$i" "${commands[$i]}"  # and now at rest, its screen kept
    runpid[$i]=$PID xpids[$i]="$XVFB,$TRAY"
done
sleep 10  # past whatever a program does once after it appears
for i in "${!names[@]}"; do
    kill -0 "${runpid[$i]}" 2>/dev/null || { echo "${names[$i]} did not start: $(cat "$work/$i/out.log")" >&2; exit 1; }
done

printf '\nAt rest, all at once: %s rounds of %s s.\n' "$rounds" "$seconds"
for r in $(seq "$rounds"); do
    read -r busy0 idle0 < <(cpu_busy)
    counting=()
    for i in "${!names[@]}"; do
        perf stat -x, -e task-clock,context-switches -o "$work/$i/perf.$r" -p "${runpid[$i]}" -- sleep "$seconds" &
        counting+=($!)
        perf stat -x, -e task-clock -o "$work/$i/xperf.$r" -p "${xpids[$i]}" -- sleep "$seconds" &
        counting+=($!)
    done
    wait "${counting[@]}"
    read -r busy1 idle1 < <(cpu_busy)
    awk -v r="$r" -v b=$((busy1 - busy0)) -v i=$((idle1 - idle0)) -v n="$(nproc)" -v l="$(cut -d' ' -f1-3 /proc/loadavg)" \
        'BEGIN { printf "  round %d: the machine %.0f %% busy on %d cores, load average %s\n", r, 100 * b / (b + i), n, l }'
done

# A figure of perf's: task-clock in ms or the number of switches.
perf_value() { awk -F, -v e="$2" '$3 ~ e {print $1}' "$1"; }
per_hour() { awk -v ms="$1" -v s="$seconds" 'BEGIN { printf "%.2f", ms / 1000 * 3600 / s }'; }
over() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-") print "-"; else printf "%+.2f", a - b }'; }

declare -A each cpu wake xcpu rss
for i in "${!names[@]}"; do
    c=() w=() x=()
    for r in $(seq "$rounds"); do
        c+=("$(per_hour "$(perf_value "$work/$i/perf.$r" task-clock)")")
        w+=("$(awk -v n="$(perf_value "$work/$i/perf.$r" context-switches)" -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')")
        x+=("$(per_hour "$(perf_value "$work/$i/xperf.$r" task-clock)")")
    done
    each[$i]=$(IFS=/; echo "${c[*]}")
    cpu[$i]=$(printf '%s\n' "${c[@]}" | median)
    wake[$i]=$(printf '%s\n' "${w[@]}" | median)
    xcpu[$i]=$(printf '%s\n' "${x[@]}" | median)
    rss[$i]=$(awk '$1 == "VmHWM:" {printf "%.2f", $2 / 1024}' "/proc/${runpid[$i]}/status")
done

printf '\n%-16s %22s %7s %7s %10s %10s %7s %7s %8s %7s\n' "" "CPU s/h" "" "over" "wake-ups" "X+tray" \
    "peak" "over" "start" "over"
printf '%-16s %22s %7s %7s %10s %10s %7s %7s %8s %7s\n' program "each round" median floor "/s" "CPU s/h" \
    "RSS MB" floor ms floor
for i in "${!names[@]}"; do
    printf '%-16s %22s %7s %7s %10s %10s %7s %7s %8s %7s\n' "${names[$i]}" "${each[$i]}" "${cpu[$i]}" \
        "$(over "${cpu[$i]}" "${cpu[1]}")" "${wake[$i]}" "${xcpu[$i]}" "${rss[$i]}" \
        "$(over "${rss[$i]}" "${rss[1]}")" "${startup[$i]}" "$(over "${startup[$i]}" "${startup[1]}")"
done

# The goals, for the program under test against the floor of the same run.
goal() {  # what figure limit
    awk -v what="$1" -v a="$2" -v b="$3" 'BEGIN { printf "  %-46s %8s against at most %8s: %s\n", what, a, b,
                                                  (a != "-" && a <= b) ? "met" : "NOT met" }'
}
printf '\nGoals for %s:\n' "${names[0]}"
goal "CPU s/h at most the floor + 0.15" "${cpu[0]}" "$(awk -v f="${cpu[1]}" 'BEGIN { printf "%.2f", f + 0.15 }')"
for i in "${!names[@]}"; do
    ((i > 1)) || continue
    goal "CPU s/h below ${names[$i]}" "${cpu[0]}" "${cpu[$i]}"
done
goal "wake-ups/s at most 1.05" "${wake[0]}" 1.05
goal "X server and tray CPU s/h at most the floor's" "${xcpu[0]}" "${xcpu[1]}"
goal "peak RSS MB at most the floor + 0.6" "${rss[0]}" "$(awk -v f="${rss[1]}" 'BEGIN { printf "%.2f", f + 0.6 }')"
goal "start ms at most the floor + 10" "${startup[0]}" "$(awk -v f="${startup[1]}" 'BEGIN { printf "%.1f", f + 10 }')"
