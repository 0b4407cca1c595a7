#!/bin/sh
# Runs every benchmark on a virtual X display and prints one table of
# figures with their targets. Usage: bench/run_bench.sh BUILD_FOLDER
# The build folder holds torva, torva_bench, bench_startup, bench_floor,
# bench_launch and the music pieces.
set -eu

BUILD=$(cd "${1:-build-bench}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
STARTUP_RUNS=${STARTUP_RUNS:-31}
IDLE_RUNS=${IDLE_RUNS:-3}
PULL_RUNS=${PULL_RUNS:-3}
MEMORY_RUNS=${MEMORY_RUNS:-3}
ROUNDS=${ROUNDS:-3}

WORK=$(mktemp -d /tmp/torva-bench.XXXXXX)
RAW=$WORK/raw
mkdir -p "$RAW" "$WORK/config" "$WORK/runtime"
chmod 700 "$WORK/runtime"

# A display of our own.
display=90
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do
    display=$((display + 1))
done
Xvfb :$display -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM
for _ in $(seq 50); do
    [ -e /tmp/.X11-unix/X$display ] && break
    sleep 0.1
done

export DISPLAY=:$display
export QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES='qt.qpa.*=false'
export XDG_CONFIG_HOME="$WORK/config"
export XDG_RUNTIME_DIR="$WORK/runtime"
# The audio device is SDL's dummy driver: a real-time callback with no card.
export SDL_AUDIODRIVER=dummy
cd "$BUILD"

note() { printf '%s\n' "$*" >&2; }

# CPU time of every thread of a process, in nanoseconds.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'
}

note "bench: a record table, as a returning player has it"
./torva_bench prepare >/dev/null

note "bench: start-up, $STARTUP_RUNS runs each of the floor and the game"
for _ in $(seq "$STARTUP_RUNS"); do
    ./bench_launch ./bench_floor startup >>"$RAW/startup_floor"
    ./bench_launch ./bench_floor text >>"$RAW/startup_floor_text"
    ./bench_launch ./bench_floor_audiolibs startup >>"$RAW/startup_floor_audiolibs"
    # bench_startup ends without the game's own clean-up; the lock a clean
    # exit removes would otherwise be found stale by the next start.
    rm -f "$XDG_RUNTIME_DIR/TORVA.lock"
    ./bench_launch ./bench_startup >>"$RAW/startup_game"
done
rm -f "$XDG_RUNTIME_DIR/TORVA.lock"

note "bench: idle title screen of the game, $IDLE_RUNS x 10 s"
for _ in $(seq "$IDLE_RUNS"); do
    ./torva >>"$WORK/torva.log" 2>&1 &
    game=$!
    xdotool search --sync --onlyvisible --name '^TORVA$' >/dev/null
    sleep 1
    before=$(cpu_ns $game)
    start=$(date +%s%N)
    sleep 10
    after=$(cpu_ns $game)
    end=$(date +%s%N)
    if ! kill -TERM $game 2>/dev/null; then
        note "bench: the game ended by itself during the idle measurement:"
        cat "$WORK/torva.log" >&2
    fi
    wait $game || true
    awk -v c=$((after - before)) -v w=$((end - start)) 'BEGIN {printf "%.4f\n", c / w * 100}' \
        >>"$RAW/title_idle"
done

note "bench: idle story between two steps, $IDLE_RUNS x 10 s"
for _ in $(seq "$IDLE_RUNS"); do
    ./torva_bench storyidle | awk '{print $2}' >>"$RAW/story_idle"
done

note "bench: play clock over $ROUNDS rounds"
./torva_bench playclock "$ROUNDS" >"$RAW/playclock"

note "bench: pull steps, $PULL_RUNS x 10000"
for _ in $(seq "$PULL_RUNS"); do
    ./torva_bench pull 10000 >>"$RAW/pull"
    ./bench_floor paint 10000 >>"$RAW/pull_floor"
done

note "bench: scene reveals"
./torva_bench reveal 8 >"$RAW/reveal"

note "bench: sound start, 40 plays"
./torva_bench sound 40 >"$RAW/sound"

note "bench: peak memory, $MEMORY_RUNS stories with music and rounds"
for _ in $(seq 5); do
    ./bench_floor memory >>"$RAW/memory_floor"
done
for _ in $(seq "$MEMORY_RUNS"); do
    ./torva_bench memory | awk '{print $2}' >>"$RAW/memory_game"
done
soundfont=$(stat -L -c %s "${TORVA_SOUNDFONT:-/usr/share/sounds/sf2/default-GM.sf2}" 2>/dev/null || echo 0)
echo "$soundfont" >"$RAW/soundfont_bytes"

python3 "$HERE/summary.py" "$RAW"
