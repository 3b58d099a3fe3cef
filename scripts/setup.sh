#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Tunola needs.
# Safe to run again: apt-get skips what is already there. Runs `apt-get update` once.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev clang-format
  # Qt 6 widgets, the xcb and offscreen platform plugins
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libxkbcommon-dev
  # xcb itself: the tray watch and a test tray speak to the X display directly
  libxcb1-dev
  # file formats and network
  libxml2-dev libpng-dev zlib1g-dev libcurl4-openssl-dev
  # audio: decoders, tags, outputs
  libmpg123-dev libvorbis-dev libsndfile1-dev libflac-dev libtag1-dev libpulse-dev libasound2-dev
  # encoders and reference decoders used to make test fixtures and benchmarks
  lame vorbis-tools flac mpg123
  # the music service: HTTP server, SQL drivers (SQLite default, PostgreSQL for groups)
  libcpp-httplib-dev libqt6sql6-sqlite libqt6sql6-psql postgresql postgresql-contrib
  # a sound server with a null sink for playback tests and measurements (tools/measure-*.sh)
  pulseaudio pulseaudio-utils
  # tests and benchmarks; heaptrack for the start-up heap profile (tools/heap-startup.sh)
  libgtest-dev libgmock-dev libbenchmark-dev heaptrack
  # the functions the player runs at start, for its link order (tools/startup-functions.sh)
  valgrind
  # a virtual display, screenshots, and fonts with Chinese glyphs
  xvfb xauth x11-utils imagemagick fonts-wqy-microhei fonts-dejavu-core
  # a compositor under the virtual display, so window opacity shows in screenshots
  xcompmgr
  # clicks and keys for the screenshot scripts (tools/library-screens.sh)
  xdotool
  # profiles of the player during the CPU measurements (PROFILE= of tools/measure-lyrics-cpu.sh)
  linux-perf
  # web panes of the music library window (loaded only when that window first shows)
  qt6-webengine-dev
  # a private sound server for the playback CPU measurements
  pulseaudio
  # the desktop: a private session bus and an MPRIS client for the tests, Qt's Chinese
  # translations, validators for the installed .desktop and AppStream files
  dbus-daemon dbus-bin playerctl qt6-translations-l10n desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
