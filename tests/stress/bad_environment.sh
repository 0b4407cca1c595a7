#!/usr/bin/env bash
# The game in a bad environment: it never crashes, and what it cannot do is
# said in one line on standard error. Usage: bad_environment.sh <torva>
set -u
game=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Runs the game for two seconds, ends it with SIGTERM (which saves), and
# checks its exit code and what it said. (HOME unset is left out: the game
# then falls back to the account's real home folder.)
check() {
    local name=$1 want_code=$2 want_said=$3
    shift 3
    (env "$@" "$game" >/dev/null 2>"$work/err") & local pid=$!
    for _ in $(seq 20); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    kill -TERM $pid 2>/dev/null
    wait $pid
    local code=$? said
    said=$(grep -v 'propagateSizeHints' "$work/err")
    [ "$code" = "$want_code" ] || fail "$name: exit code $code"
    if [ -n "$want_said" ]; then
        [ "$(printf '%s\n' "$said" | grep -c .)" = 1 ] || fail "$name: said '$said'"
        printf '%s' "$said" | grep -q "$want_said" || fail "$name: said '$said'"
    fi
    echo "$name: exit $code, said: ${said:-nothing}"
}

touch "$work/file"
mkdir -p "$work/dir/TORVA/HKCU.reg"
check "no display" 1 "no display" -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=
check "config folder is a file" 0 "not saved" XDG_CONFIG_HOME="$work/file"
check "records file is a folder" 0 "not saved" XDG_CONFIG_HOME="$work/dir"
check "no audio device" 0 "" SDL_AUDIODRIVER=nosuchdriver XDG_CONFIG_HOME="$work/c"
[ $failed = 0 ] && echo "all passed"
exit $failed
