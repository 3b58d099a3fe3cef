#!/usr/bin/env bash
# Measures what playing costs with the spectrum on screen: CPU of the player, the sound server
# (PulseAudio) and the X server over a window of playback, on a private virtual display and a
# private sound server with a null sink, with a fresh home folder per run. The track is a
# synthetic one whose spectrum moves (chords that change every half second over soft noise).
# Prints median and range of the runs per skin. With "screens" as fourth argument it also leaves
# screenshots of the main window in both skins in screenshots/.
#   tools/measure-spectrum-cpu.sh [build dir] [seconds=30] [runs=3] [screens]
#   SKINS="Default" restricts the skins.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
seconds=${2:-30}
runs=${3:-3}
shots=${4:-}
bin="$build/bin/tunola"
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }
trap measure_cleanup EXIT

work=$(measure_tmpdir)
measure_xvfb :83
export QT_QPA_PLATFORM=xcb
measure_pulse "$work"
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD)"

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

for skin in ${SKINS:-Default Porcelain}; do
    player_ms=() pulse_ms=() x_ms=() sum_ms=()
    for run in $(seq "$runs"); do
        home="$work/home-$skin-$run"
        mkdir -p "$home/Documents/Tunola" "$home/run"
        chmod 700 "$home" "$home/run"
        measure_config "$home" "<Window><SKIN NAME=\"$skin\"/></Window>"
        HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/.config \
            "$bin" "$track" >"$home/player.log" 2>&1 &
        player=$!
        sleep 4
        if [ -n "$shots" ] && [ "$run" = 1 ]; then
            mkdir -p screenshots
            for n in 1 2; do
                import -window root -crop 1280x800+0+0 "screenshots/spectrum-$skin-$n.png"
                sleep 0.4
            done
        fi
        p0=$(measure_cpu $player) a0=$(measure_cpu "$pulse_pid") x0=$(measure_cpu "$xvfb_pid")
        sleep "$seconds"
        p1=$(measure_cpu $player) a1=$(measure_cpu "$pulse_pid") x1=$(measure_cpu "$xvfb_pid")
        kill $player
        wait $player 2>/dev/null || true
        player_ms+=("$((p1 - p0))") pulse_ms+=("$((a1 - a0))") x_ms+=("$((x1 - x0))")
        sum_ms+=("$((p1 - p0 + a1 - a0 + x1 - x0))")
    done
    echo "$skin skin, playing with the spectrum, CPU ms per ${seconds} s:"
    measure_summary "  player" ms "${player_ms[@]}"
    measure_summary "  sound server" ms "${pulse_ms[@]}"
    measure_summary "  X server" ms "${x_ms[@]}"
    measure_summary "  all three" ms "${sum_ms[@]}"
done
