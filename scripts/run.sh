#!/usr/bin/env bash
# Builds Tunola and starts the player against a demo music service, with the demo tracks in its
# list and the first one playing (its lyric downloaded from the service). On a machine without a
# display it starts a virtual one (Xvfb), leaves screenshots of the player's windows in
# screenshots/, and keeps the player running until you press Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DTUNOLA_ONLY= -DTUNOLA_SKIP= -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The player (with its add-ons and skins) and its remote control; the tests are not needed here.
cmake --build build -j "$(nproc)" --target tunola tunola-remote lrcdown msearch
# A demo music service on a generated folder, and a demo home for the player.
cmake --build build -j "$(nproc)" --target tunola-service tunola-make-demo
. scripts/demo-service.sh
export HOME=$DEMO_HOME

remote=build/bin/tunola-remote
# Once the player has found the demo service, the demo tracks go into its list and the first
# one plays: its lyric comes from the service (the demo home has none), which the lyrics window
# then shows. Waits at most a few seconds for each step.
play_demo() {
    for _ in $(seq 100); do "$remote" status >/dev/null 2>&1 && break; sleep 0.1; done
    if [ -n "$demo_service_pid" ]; then
        for _ in $(seq 100); do
            "$remote" status 2>/dev/null | grep -qx 'service=online' && break
            sleep 0.1
        done
    fi
    # The Chinese titles first, so the first lyric on screen is a Chinese one.
    local tracks=("$demo_dir"/music/[!A-Za-z]* "$demo_dir"/music/[A-Za-z]*)
    [ "$("$remote" count 2>/dev/null || echo 0)" -gt 0 ] ||
        "$remote" add "${tracks[@]}" >/dev/null 2>&1 || true
    "$remote" play >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        "$remote" status 2>/dev/null | grep -q '^lyric=.' && break
        sleep 0.1
    done
}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    build/bin/tunola &
    player=$!
    play_demo
    wait "$player" || true
    demo_service_stop
    exit 0
fi

display=:77
# A runtime folder of its own, so the demo player never hands over to another running player.
export XDG_RUNTIME_DIR=$demo_dir/run
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
trap 'kill "$player" "$xvfb" 2>/dev/null || true; demo_service_stop' EXIT INT TERM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

build/bin/tunola &
player=$!
play_demo
sleep 1

mkdir -p screenshots
rm -f screenshots/*.png
import -window root screenshots/screen.png
# One picture per visible top-level window of the player.
n=0
while read -r id name; do
    n=$((n + 1))
    label=$(echo "$name" | tr -c 'A-Za-z0-9' '_' | tr -s '_' | sed 's/^_//; s/_$//' | cut -c1-40)
    file="screenshots/window-$n${label:+-$label}.png"
    import -window "$id" "$file" 2>/dev/null || true
done < <(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) "\([^"]*\)": .*/\1 \2/p' |
         while read -r id name; do
             xwininfo -id "$id" | grep -q 'Map State: IsViewable' && echo "$id $name"
         done)

echo "Tunola runs on the virtual display $display."
echo "Screenshots: $(ls screenshots/*.png | tr '\n' ' ')"
echo "Press Ctrl+C to stop."
wait "$player"
