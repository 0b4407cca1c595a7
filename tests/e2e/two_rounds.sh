#!/usr/bin/env bash
# Plays the game the way a player does, with real X input on a display
# without a window manager: the first-run message, START, a story (name and
# sex typed in, scenes shown at once with Shift held), the rules, the
# countdown, a drag on the paper, the result and a second round that beats
# the first and skips its story with Alt+F4; then EXIT. Checks the music that
# starts at the fourth scene (SDL's disk driver records what is played) and
# the records saved at EXIT. Run under xvfb-run.
#
#   two_rounds.sh GAME            starts GAME in its own folder
#   two_rounds.sh --desktop-entry ID
#                                 starts the installed desktop entry ID the
#                                 way a launcher does (gtk-launch)
set -u
export LC_ALL=C.UTF-8
if [ "${1:-}" = --desktop-entry ] && [ $# = 2 ]; then
    entry=$2 game=
elif [ $# = 1 ]; then
    entry= game=$1
else
    echo "usage: $0 GAME | --desktop-entry ID" >&2
    exit 2
fi
for tool in xdotool sox iconv; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && { kill -9 "$pid"; wait "$pid"; } 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/audio.raw
records=$XDG_CONFIG_HOME/TORVA/HKCU.reg
name=ヒロ太
today=$(date +%Y/%-m/%-d)
started=$(date +%s)

# TORVA_E2E_SCREENSHOT=file.png keeps a picture of the screen at a failure.
fail() {
    echo "FAIL: $*"
    [ -n "${TORVA_E2E_SCREENSHOT:-}" ] && import -window root "$TORVA_E2E_SCREENSHOT"
    exit 1
}
# Prints the visible window with the given caption (a regular expression),
# waiting up to the given number of tenths of a second.
find_window() {
    local found
    for _ in $(seq "${2:-50}"); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}
gone() {
    for _ in $(seq "${2:-50}"); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
position() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p'; }
size() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }
# The message box captioned TORVA, as opposed to the main window.
torva_message() {
    local window
    for _ in $(seq "${1:-50}"); do
        for window in $(xdotool search --onlyvisible --name '^TORVA$' 2>/dev/null); do
            [ "$(size "$window")" != 329x377 ] && { echo "$window"; return 0; }
        done
        sleep 0.1
    done
    return 1
}
# Answers a message box with Return; the pointer goes over it first, since
# without a window manager the keyboard follows the pointer.
answer() {
    read -r x y <<<"$(position "$1")"
    xdotool mousemove $((x + 20)) $((y + 20))
    sleep 0.2
    xdotool key Return
}
click_at() {
    xdotool mousemove "$1" "$2" sleep 0.1 mousemove $(($1 + 1)) $(($2 + 1)) sleep 0.1 click 1
}
# A drag on the paper from client y 20 down by the given number of pixels,
# in steps of 10.
drag() {
    local x=$((left + 160)) y
    xdotool mousemove "$x" $((top + 20)) sleep 0.05 mousedown 1
    for y in $(seq 30 10 $((20 + $1))); do
        xdotool mousemove "$x" $((top + y))
        sleep 0.01
    done
    xdotool mouseup 1
}
audio_mark() { echo $(($(stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0) / 8)); }
# sox statistics of the audio recorded between two marks (stereo frames).
audio_stat() {
    sox -t raw -r 44100 -e floating-point -b 32 -c 2 "$SDL_DISKAUDIOFILE" -n \
        trim "$1s" "$(($2 - $1))s" stat 2>&1 | sed -n "s/^$3: *//p"
}
dword() { sed -n "s/^\"$1\"=dword:\([0-9a-f]*\)\r\?$/\1/p" "$work/records.txt"; }
text() { sed -n "s/^\"$1\"=\"\(.*\)\"\r\?$/\1/p" "$work/records.txt"; }

read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
# A point of the story window that goes on at a click: below the title card,
# above the message panel.
story_x=$((screen_w / 2)) story_y=$((screen_h / 2 + screen_h / 8))

# Start.
if [ -n "$game" ]; then
    cd "$(dirname "$game")" || fail "no folder $(dirname "$game")"
    "./$(basename "$game")" &
    pid=$!
else
    gtk-launch "$entry" || fail "gtk-launch $entry failed"
fi

message=$(torva_message 100) || fail "no first-run message"
if [ -z "$game" ]; then
    pid=$(xdotool getwindowpid "$message") || fail "the game window names no process"
    folder=$(sed -n 's/^Path=//p' "/usr/share/applications/$entry.desktop")
    [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || fail "the game does not run in $folder"
fi
answer "$message"
main=$(find_window '^TORVA$') || fail "no main window after the first-run message"
read -r left top <<<"$(position "$main")"
[ "$left $top" = "$(((screen_w - 329) / 2)) $(((screen_h - 377) / 2))" ] ||
    fail "the main window is at $left,$top, not centred"

# Round 1: the whole story.
click_at $((left + 164)) $((top + 228))
story=$(find_window '^Story$') || fail "START showed no story"
xdotool mousemove $story_x $story_y sleep 0.2 click 1
dialog=$(find_window '^Name$' 100) || fail "no name box after the title cards"
read -r x y <<<"$(position "$dialog")"
xdotool mousemove $((x + 196)) $((y + 67))
sleep 0.2
# xdotool binds each of these characters to a spare key just before pressing
# it, and the game reads the new key map when it gets the press: a slow pace
# keeps a busy machine from reading a character against the next one's map.
xdotool type --delay 300 "$name"
xdotool key Return
dialog=$(find_window '^Sex$') || fail "no sex choice after the name"
read -r x y <<<"$(position "$dialog")"
xdotool mousemove $((x + 10)) $((y + 80))
sleep 0.2
xdotool key Down Return
gone '^Sex$' || fail "the sex choice did not close on Return"
xdotool mousemove $story_x $story_y
xdotool keydown shift
sleep 1.5 # the message panel opens and the first scene shows
xdotool click 1
sleep 0.6
xdotool click 1
sleep 0.6 # the third scene stands; nothing plays
quiet_from=$(audio_mark)
sleep 0.8
quiet_to=$(audio_mark)
xdotool click 1
sleep 0.4 # the fourth scene: the music starts
music_from=$(audio_mark)
sleep 1.2
music_to=$(audio_mark)
for _ in $(seq 12); do
    xdotool search --onlyvisible --name '^Story$' >/dev/null 2>&1 || break
    xdotool click 1
    sleep 0.5
done
xdotool keyup shift
gone '^Story$' 10 || fail "the story did not end"
quiet=$(audio_stat "$quiet_from" "$quiet_to" 'Maximum amplitude')
music=$(audio_stat "$music_from" "$music_to" 'RMS     amplitude')
[ -n "$quiet" ] && [ -n "$music" ] || fail "no audio recorded ($quiet_from..$music_to frames)"
echo "between scenes: maximum amplitude $quiet; with the music: RMS amplitude $music"
awk -v q="$quiet" 'BEGIN { exit !(q < 0.001) }' || fail "sound before the music starts ($quiet)"
awk -v m="$music" 'BEGIN { exit !(m > 0.005) }' || fail "the music is silent ($music)"

rules=$(find_window '^ルール説明$') || fail "no rules message"
answer "$rules"
sleep 4.5 # Ready? 3 2 1 0
drag 100
result=$(find_window '^記録の表示$' 150) || fail "no result message"
answer "$result"
gone '^記録の表示$' || fail "the result message did not close"
message=$(torva_message 10) && fail "the first record of an empty table was announced"

# Round 2: the story is skipped, the rules are not shown again, and three
# long drags beat the first round.
click_at $((left + 164)) $((top + 228))
find_window '^Story$' >/dev/null || fail "START showed no second story"
xdotool mousemove $story_x $story_y sleep 0.2 key alt+F4
gone '^Story$' 20 || fail "Alt+F4 did not skip the second story"
find_window '^ルール説明$' 10 >/dev/null && fail "the rules came again with a record in the table"
sleep 3.5
for _ in 1 2 3; do
    drag 340
    sleep 0.3
done
result=$(find_window '^記録の表示$' 150) || fail "no second result message"
answer "$result"
message=$(torva_message) || fail "the new first place was not announced"
answer "$message"
sleep 0.5
torva_message 1 >/dev/null && fail "the rank message did not close"

# EXIT.
click_at $((left + 164)) $((top + 324))
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "EXIT did not end the game"
if [ -n "$game" ]; then
    wait "$pid"
    code=$?
    [ "$code" = 0 ] || fail "the game ended with exit code $code"
fi
pid=

# The records: both rounds under the typed name, female, dated today, the
# second above the first; each at least as long as its drags.
[ -f "$records" ] || fail "no records saved at EXIT"
iconv -f CP932 -t UTF-8 "$records" >"$work/records.txt" || fail "the records are not CP932"
best=$((16#$(dword Mts0))) second=$((16#$(dword Mts1))) third=$((16#$(dword Mts2)))
echo "lengths: $best $second $third px"
[ "$second" -ge 100 ] || fail "the first round's 100 px drag gave $second px"
[ "$best" -ge 1020 ] || fail "the second round's three 340 px drags gave $best px"
[ "$best" -gt "$second" ] || fail "the second round is not first ($best, $second)"
[ "$third" = 0 ] || fail "a third record appeared ($third)"
for key in Name0 Name1; do
    [ "$(text "$key")" = "$name" ] || fail "$key is '$(text "$key")', not '$name'"
done
finished=$(date +%Y/%-m/%-d)
for key in Td0 Td1; do
    case $(text "$key") in
        "$today  "* | "$finished  "*) ;;
        *) fail "$key is '$(text "$key")', not a time of $today" ;;
    esac
done
[ "$(dword ESU)" = 00000003 ] && [ "$(dword II)" = 00000003 ] || fail "the sex codes are not female"
echo "passed in $(($(date +%s) - started)) s"
