#!/usr/bin/env bash
# Two copies of the game on one X display: the second shows "already
# running", ends with exit code 0 once the message is answered and never
# opens a window of the game; after the first copy is killed with SIGKILL, a
# new copy runs, and SIGTERM ends it the normal way. Run under xvfb-run.
set -u
game=$1
. "$(dirname "$0")/../support/game_env.sh"
# Waits until the lock file names the given process.
wait_for_owner() {
    for _ in $(seq 100); do
        [ "$(head -n 1 "$lock" 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
# Prints the visible windows of a process, waiting for at least one.
windows_of() {
    for _ in $(seq 100); do
        local found
        found=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}

"$game" & first=$!
wait_for_owner "$first" || fail "the first copy did not take the instance lock"

"$game" & second=$!
refusal=$(windows_of "$second") || fail "the second copy showed no message"
[ "$(echo "$refusal" | wc -l)" = 1 ] || fail "the second copy opened more than one window"
title=$(xdotool getwindowname "$refusal")
[ "$title" = TORVA ] || fail "the refusal is captioned '$title'"
size=$(xdotool getwindowgeometry "$refusal" | sed -n 's/.*Geometry: //p')
[ "$size" != 329x377 ] || fail "the second copy opened the main window"
xdotool mousemove --window "$refusal" 20 20
sleep 0.3
xdotool key Return
for _ in $(seq 50); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second" 2>/dev/null && fail "the second copy did not end after its message"
wait "$second"; code=$?
[ "$code" = 0 ] || fail "the second copy ended with exit code $code"
kill -0 "$first" 2>/dev/null || fail "the first copy did not survive the second"

kill -9 "$first"; wait "$first" 2>/dev/null
"$game" & third=$!
wait_for_owner "$third" || fail "a copy started after kill -9 of the first did not run"
kill -TERM "$third"; wait "$third"; code=$?
[ "$code" = 0 ] || fail "SIGTERM ended the game with exit code $code"
# Ended by the signal, the game still closed its main window the normal way,
# which saves the records.
grep -q '^REGEDIT4' "$XDG_CONFIG_HOME/TORVA/HKCU.reg" || fail "SIGTERM lost the records"
echo "1 passed, 0 failed"
