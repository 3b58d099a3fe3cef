#!/usr/bin/env bash
# Screenshots of the music library window with the demo service, in both skins: the sharing
# page after a share link ("播放" of the third song, a Chinese title) was played, and the search
# page with the results of a search started with Enter in the search field.
# Runs the real player on a private virtual display with the demo home (scripts/demo-service.sh).
#   tools/library-screens.sh [output folder=screenshots/library]
# Needs build/bin/tunola, tunola-service, tunola-make-demo, tunola-remote (cmake --build build).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-screenshots/library}
mkdir -p "$out"
source tools/measure-lib.sh
trap measure_cleanup EXIT
measure_demo_home
measure_xvfb :84 1600x900x24

build/bin/tunola 2>"$demo_dir/player.log" &
measure_pids+=("$!")
# The window shows by itself once the player has found the service.
window=$(measure_window '分享平台')
[ -n "$window" ] || { echo "the library window did not show" >&2; exit 1; }
# Clicks at points of the window (its client coordinates).
click() {
    local x y
    read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
}
for skin in Default Porcelain; do
    build/bin/tunola-remote skin "$skin" >/dev/null
    sleep 1
    click 150 23 # the tab "音乐分享"
    sleep 2
    if [ "$skin" = Default ]; then
        click 626 158 # "播放" of the third song
        sleep 3
    fi
    import -window root "$out/share-$skin.png"
    click 212 23 # the tab "音乐搜索"
    sleep 1
    click 102 64 # "OGG/FLAC"
    click 300 66 # the search field
    xdotool key ctrl+a
    xdotool type --delay 50 '夜'
    xdotool key Return
    sleep 2
    import -window root "$out/search-$skin.png"
done
echo "Screenshots: $(ls "$out"/*.png | tr '\n' ' ')"
