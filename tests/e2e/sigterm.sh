#!/usr/bin/env bash
# SIGTERM at 50 random moments from the program's first instant to well after its meter is up: each
# time the settings file is the old one or a complete new one, and no temporary is left beside it.
# Then SIGKILL on the heels of SIGTERM, to cut saves short: still the old file or a complete new one.
# (That the next start removes whatever temporary a cut save left is
# IniStore.StaleTemporariesOfOurOwnAreRemovedAtStartAndAtSave's.)
source "$(dirname "$0")/lib.sh"

printf '[Form]\nPosition=0\nWidth=12\n[Options]\nLowColor=255\n' | write_ini
cp "$INI" "$WORK/old.ini"

# Complete: every key the program saves, in the program's own form, the stored colour carried over.
complete() {
    [ "$(grep -c '^[A-Za-z]*=' "$INI")" -eq 20 ] && [ "$(tail -c 1 "$INI" | od -An -c | tr -d ' ')" == '\n' ] &&
        grep -qx 'LowColor= 255' "$INI" && grep -qx 'BorderColor= 16777215' "$INI"
}

seed=${CORVANE_E2E_SEED:-$$}
RANDOM=$seed
old=0 new=0 cut=0
# A random moment, in seconds, from FROM to FROM + SPAN milliseconds of the program's time at rest,
# which stretches on a slow machine.
moment() { local ms=$((($1 + RANDOM % $2) * SLOWNESS)); printf '%d.%03d' $((ms / 1000)) $((ms % 1000)); }  # FROM SPAN

# One run: started afresh over the old file, SIGTERM after $1 seconds, SIGKILL $2 seconds later if given.
# SIGTERM alone leaves no temporary; a save that SIGKILL cut short may (counted in cut).
run_and_kill() {
    cp "$WORK/old.ini" "$INI"
    start_corvane
    sleep "$1"
    kill -TERM "$CORVANE_PID"
    [ -z "${2:-}" ] || { sleep "$2" && kill -KILL "$CORVANE_PID" 2>/dev/null || true; }
    within 5 program_ended || fail "seed $seed: still running after SIGTERM at $1 s"
    wait "$CORVANE_PID" || true  # killed before its handler was in place, or ended by it
    if cmp -s "$INI" "$WORK/old.ini"; then old=$((old + 1))
    elif complete; then new=$((new + 1))
    else fail "seed $seed: SIGTERM at $1 s ${2:+and SIGKILL $2 s later }left a file that is neither: $(cat "$INI")"; fi
    [ -z "$(temporaries)" ] || [ -n "${2:-}" ] || fail "seed $seed: SIGTERM at $1 s left: $(temporaries)"
    [ -z "$(temporaries)" ] || cut=$((cut + 1))
}
temporaries() { ls -A "$CFG/Corvane" | grep -v '^Corvane\.ini$' || true; }

for _ in $(seq 50); do run_and_kill "$(moment 0 600)"; done
pass "50 runs (seed $seed): $old ended before they could save and kept the old file, $new saved a complete new one"

old=0 new=0
for _ in $(seq 20); do run_and_kill "$(moment 300 300)" "$(moment 0 15)"; done
pass "20 runs cut by SIGKILL (seed $seed): $old old files, $new complete new ones, $cut temporaries left"
