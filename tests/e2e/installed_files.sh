#!/usr/bin/env bash
# Installs the build into a scratch folder under the prefix /usr, as the
# Debian package does, and checks what a desktop needs from it: a valid
# desktop entry that starts the game where its music lies, valid AppStream
# metadata, the icons, the manual page and the two pieces of music.
#
#   installed_files.sh BUILD_DIR
set -u
build=${1:?usage: $0 BUILD_DIR}
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >"$root.log" 2>&1 ||
    { cat "$root.log"; rm -f "$root.log"; fail "cmake --install failed"; }
rm -f "$root.log"
share=$root/usr/share
id=org.quillon.Torva

[ -x "$root/usr/bin/torva" ] || fail "no /usr/bin/torva"
entry=$share/applications/$id.desktop
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
[ "$(sed -n 's/^Exec=//p' "$entry")" = torva ] || fail "the desktop entry does not run torva"
folder=$(sed -n 's/^Path=//p' "$entry")
[ "$folder" = /usr/share/torva ] || fail "the desktop entry starts the game in '$folder'"
for piece in TORVAM1.MID TORVAM2.MID; do
    [ "$(head -c 4 "$root$folder/$piece" 2>/dev/null)" = MThd ] || fail "no MIDI file $folder/$piece"
done
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "the metainfo is not valid"
grep -q '<screenshot type="default">' "$share/metainfo/$id.metainfo.xml" || fail "no screenshot"
grep -q '<content_rating type="oars-' "$share/metainfo/$id.metainfo.xml" || fail "no content rating"
for size in 16 24 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/$id.png
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "no ${size}x$size icon"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/$id.svg" 2>/dev/null || fail "no scalable icon"
command -v man >/dev/null &&
    man -l --warnings -E UTF-8 "$share/man/man6/torva.6" 2>&1 >/dev/null | grep . && fail "the manual page has warnings"
head -n 1 "$share/man/man6/torva.6" | grep -q '^\.TH TORVA 6 ' || fail "the manual page is not in section 6"
echo "1 passed, 0 failed"
