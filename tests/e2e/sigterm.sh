#!/usr/bin/env bash
# SIGTERM at 50 random moments from the program's first instant to well after its meter is up: each
# time the settings file is the old one or a complete new one, and no temporary is left beside it.
source "$(dirname "$0")/lib.sh"

start_display 1024x768
folder="$CFG/Corvane"
printf '[Form]\nPosition=0\nWidth=12\n[Options]\nLowColor=255\n' | write_ini
cp "$INI" "$WORK/old.ini"

# Complete: every key the program saves, in the program's own form, the stored colour carried over.
complete() {
    [ "$(grep -c '^[A-Za-z]*=' "$INI")" -eq 20 ] && [ "$(tail -c 1 "$INI" | od -An -c | tr -d ' ')" == '\n' ] &&
        grep -qx 'LowColor= 255' "$INI" && grep -qx 'BorderColor= 16777215' "$INI"
}

seed=${CORVANE_E2E_SEED:-$$}
RANDOM=$seed
old=0 new=0
for run in $(seq 50); do
    cp "$WORK/old.ini" "$INI"
    delay=$(printf '0.%03d' $((RANDOM % 600)))
    start_corvane
    sleep "$delay"
    kill -TERM "$CORVANE_PID"
    for _ in $(seq 100); do
        kill -0 "$CORVANE_PID" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$CORVANE_PID" 2>/dev/null && fail "run $run (seed $seed): still running 5 s after SIGTERM at ${delay} s"
    wait "$CORVANE_PID" || true  # killed before its handler was in place, or ended by it
    if cmp -s "$INI" "$WORK/old.ini"; then
        old=$((old + 1))
    elif complete; then
        new=$((new + 1))
    else
        fail "run $run (seed $seed): SIGTERM at ${delay} s left a file that is neither: $(cat "$INI")"
    fi
    left=$(cd "$folder" && ls -A)
    [ "$left" == "Corvane.ini" ] || fail "run $run (seed $seed): SIGTERM at ${delay} s left: $left"
done
pass "50 runs (seed $seed): $old ended before they could save and kept the old file, $new saved a complete new one"
