#!/usr/bin/env bash
# N copies of the game started at once on one X display: exactly one runs,
# every other one shows the "already running" box captioned TORVA and never
# the main window (329x377). After kill -9 of the running copy, the next
# start runs. Usage: many_copies.sh <torva> [copies], under xvfb-run.
set -u
game=$1
copies=${2:-50}
. "$(dirname "$0")/../support/game_env.sh"

pids=()
for _ in $(seq "$copies"); do "$game" & pids+=($!); done

# Every copy ends up either owning the lock or showing one window.
owner= refused=0
for _ in $(seq 600); do
    owner=$(head -n 1 "$lock" 2>/dev/null)
    refused=0
    for pid in "${pids[@]}"; do
        [ "$pid" = "$owner" ] && continue
        [ -n "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null)" ] && refused=$((refused + 1))
    done
    [ -n "$owner" ] && [ "$refused" = $((copies - 1)) ] && break
    sleep 0.2
done
[ -n "$owner" ] || fail "no copy took the instance lock"
[ "$refused" = $((copies - 1)) ] || fail "$refused of $((copies - 1)) other copies showed a window"
running=0
for pid in "${pids[@]}"; do
    kill -0 "$pid" 2>/dev/null && running=$((running + 1))
    [ "$pid" = "$owner" ] && continue
    win=$(xdotool search --onlyvisible --pid "$pid")
    [ "$(echo "$win" | wc -l)" = 1 ] || fail "copy $pid shows more than one window"
    [ "$(xdotool getwindowname "$win")" = TORVA ] || fail "copy $pid shows '$(xdotool getwindowname "$win")'"
    size=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
    [ "$size" != 329x377 ] || fail "copy $pid opened the main window"
done
[ "$running" = "$copies" ] || fail "only $running of $copies copies are alive"
echo "$copies copies: copy $owner runs, $refused show the refusal box captioned TORVA"
for pid in "${pids[@]}"; do [ "$pid" = "$owner" ] || kill "$pid"; done

kill -9 "$owner"; wait 2>/dev/null
"$game" & next=$!
for _ in $(seq 100); do [ "$(head -n 1 "$lock" 2>/dev/null)" = "$next" ] && break; sleep 0.1; done
[ "$(head -n 1 "$lock" 2>/dev/null)" = "$next" ] || fail "a copy started after kill -9 did not run"
kill -TERM "$next"; wait "$next"
echo "after kill -9 the next start runs; 1 passed, 0 failed"
