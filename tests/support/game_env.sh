# Sourced by the whole-program tests: a work folder removed at the end, with
# any copy of the game still running killed; the game's runtime and records
# folders inside it; its lock file; and how a test fails.
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
lock=$XDG_RUNTIME_DIR/TORVA.lock
fail() { echo "FAIL: $*"; exit 1; }
