#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the player runs from there with
# everything it needs: it plays a FLAC through the installed add-on, finds its skins and
# plug-ins, answers the installed remote, and the desktop files pass their validators.
#
#   install_test.sh BUILD_DIR MAKE_TONE
set -euo pipefail
build=$1
make_tone=$2

work=$(mktemp -d)
player=""
cleanup() {
  [ -n "$player" ] && kill "$player" 2>/dev/null && wait "$player" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install test: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "install failed"; }

for f in bin/tunola bin/tunola-remote bin/tunola-update; do [ -x "$prefix/$f" ] || fail "$f missing"; done
for f in share/tunola/b_flac.so share/tunola/lrcdown.so share/tunola/msearch.so share/tunola/skin/Default/skin.xml \
         share/tunola/skin/Porcelain/skin.xml share/tunola/icons/tunola.png \
         share/applications/org.tunola.Tunola.desktop \
         share/metainfo/org.tunola.Tunola.metainfo.xml \
         share/icons/hicolor/16x16/apps/org.tunola.Tunola.png \
         share/icons/hicolor/48x48/apps/org.tunola.Tunola.png \
         share/icons/hicolor/256x256/apps/org.tunola.Tunola.png; do
  [ -f "$prefix/$f" ] || fail "$f missing"
done
ls "$prefix"/share/tunola/plugins/*.so > /dev/null 2>&1 || fail "no plug-ins installed"

desktop-file-validate "$prefix/share/applications/org.tunola.Tunola.desktop" || fail "desktop file invalid"
appstreamcli validate --no-net "$prefix/share/metainfo/org.tunola.Tunola.metainfo.xml" > "$work/as.log" ||
  { cat "$work/as.log"; fail "metainfo invalid"; }

# The installed program, not the build tree: nothing of the build folder is on any path.
"$make_tone" "$work/tone.wav" 4 440 44100 2 0.3 > /dev/null
flac --silent -o "$work/tone.flac" "$work/tone.wav"
rm "$work/tone.wav"

export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DOCUMENTS_DIR=$work/home/Documents
export QT_QPA_PLATFORM=offscreen
unset DBUS_SESSION_BUS_ADDRESS
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$work"
"$prefix/bin/tunola" tone.flac 2> "$work/player.log" &
player=$!

status=""
for _ in $(seq 50); do
  status=$("$prefix/bin/tunola-remote" status 2>/dev/null || true)
  case "$status" in *state=playing*) break ;; esac
  sleep 0.1
done
echo "$status" | grep -q '^state=playing$' || { echo "$status"; cat "$work/player.log"; fail "the FLAC does not play"; }
echo "$status" | grep -q '^length=4.000$' || { echo "$status"; fail "wrong length"; }
echo "$status" | grep -q '^title=tone$' || { echo "$status"; fail "wrong title"; }
"$prefix/bin/tunola-remote" count | grep -qx 1 || fail "the list does not hold the track"

# The skin of the installed tree was loaded: closing saves its name.
kill -TERM "$player"; wait "$player" || true; player=""
grep -q 'SKIN NAME="Default"' "$HOME/Documents/Tunola/tunola.xml" || fail "no skin saved"
echo "install test: ok"
