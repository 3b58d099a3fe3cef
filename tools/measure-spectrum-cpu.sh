#!/usr/bin/env bash
# Measures what playing costs with the spectrum on screen: CPU seconds of the player, the sound
# server (PulseAudio) and the X server over a window of playback, on a private virtual display
# and a private sound server with a null sink, with a fresh home folder. The track is a
# synthetic one whose spectrum moves (chords that change every half second over soft noise).
# With "screens" as third argument it also leaves screenshots of the main window in both skins
# in screenshots/.
#   tools/measure-spectrum-cpu.sh [build dir] [seconds] [screens]
set -euo pipefail
build=${1:-build}
seconds=${2:-30}
shots=${3:-}
bin="$build/bin/tunola"
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }

work=$(mktemp -d)
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/.config
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; sleep 0.3; rm -rf "$work"; }
trap cleanup EXIT

display=:83
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!; pids+=("$xvfb")
export DISPLAY=$display QT_QPA_PLATFORM=xcb
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-native-protocol-unix" --load="module-null-sink" >/dev/null 2>&1 &
pulse=$!; pids+=("$pulse")
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

track=$work/music.wav
python3 - "$track" "$((seconds + 15))" <<'PY'
import math, random, struct, sys, wave
path, secs = sys.argv[1], int(sys.argv[2])
rate = 44100
random.seed(7)
chords = [[220, 277, 330], [196, 247, 294, 392], [262, 330, 392, 523], [175, 220, 262, 880],
          [247, 311, 370, 1245], [147, 185, 220, 2349]]
with wave.open(path, "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(rate)
    for half in range(secs * 2):
        notes = chords[half % len(chords)]
        frames = bytearray()
        for n in range(rate // 2):
            t = (half * (rate // 2) + n) / rate
            env = math.exp(-3.0 * n / rate)
            v = sum(math.sin(2 * math.pi * f * t) for f in notes) / len(notes)
            v = 0.55 * env * v + 0.04 * (random.random() * 2 - 1)
            s = int(max(-1, min(1, v)) * 32000)
            frames += struct.pack("<hh", s, s)
        w.writeframes(frames)
PY

cpu() { # utime + stime of a process, in clock ticks
    awk '{print $14 + $15}' "/proc/$1/stat"
}
ticks=$(getconf CLK_TCK)

measure() { # label
    local p0 a0 x0 p1 a1 x1
    p0=$(cpu "$player"); a0=$(cpu "$pulse"); x0=$(cpu "$xvfb")
    sleep "$seconds"
    p1=$(cpu "$player"); a1=$(cpu "$pulse"); x1=$(cpu "$xvfb")
    awk -v l="$1" -v s="$seconds" -v t="$ticks" -v p=$((p1 - p0)) -v a=$((a1 - a0)) -v x=$((x1 - x0)) \
        'BEGIN { printf "%s: player %.2f s, sound server %.2f s, X server %.2f s, total %.2f s per %d s\n", l, p/t, a/t, x/t, (p+a+x)/t, s }'
}

for skin in ${SKINS:-Default Porcelain}; do
    mkdir -p "$HOME/Documents/Tunola"
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<TUNOLA.CONFIG><Window><SKIN NAME="%s"/></Window></TUNOLA.CONFIG>\n' \
        "$skin" >"$HOME/Documents/Tunola/tunola.xml"
    "$bin" "$track" >/dev/null 2>&1 &
    player=$!; pids+=("$player")
    sleep 4
    if [ -n "$shots" ]; then
        mkdir -p screenshots
        for n in 1 2; do
            import -window root -crop 1280x800+0+0 "screenshots/spectrum-$skin-$n.png"
            sleep 0.4
        done
    fi
    measure "$skin skin, playing with the spectrum"
    kill "$player"; wait "$player" 2>/dev/null || true
    rm -rf "$HOME/Documents/Tunola"
done
