#!/usr/bin/env bash
# Measures what playing costs with every lyric window on screen: CPU of the player, the sound
# server (PulseAudio) and the X server over a window of playback with the main, playlist and
# lyrics windows and the desktop lyrics shown, on a private virtual display with a compositor
# (xcompmgr, so the desktop lyrics' opacity is real), a private sound server with a null sink and
# a fresh home folder per run. The track has a Chinese lyric beside it, a line every 2 s.
# Prints median and range of the runs per skin, also as a share of one core. With "screens" as
# fourth argument it leaves screenshots in screenshots/: the lyrics window scrolling, and the
# desktop lyrics over another window (a picture viewer under it), per skin.
#   tools/measure-lyrics-cpu.sh [build dir] [seconds=30] [runs=3] [screens]
#   SKINS="Default" restricts the skins.
#   PROFILE=DIR also records a perf profile of the player and the X server over the window of
#   each run (DIR/perf-SKIN-RUN.data; the sampling costs them a little, so the CPU figures of
#   such runs are not the ones to record).
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
measure_xvfb :84
export QT_QPA_PLATFORM=xcb
xcompmgr >/dev/null 2>&1 &
measure_pids+=("$!")
measure_pulse "$work"
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD)"

secs=$((seconds + 20))
track="$work/music/晴天 - 歌手.wav"
mkdir -p "$work/music"
python3 - "$track" "$secs" <<'PY'
import math, struct, sys, wave
path, secs = sys.argv[1], int(sys.argv[2])
rate = 22050
with wave.open(path, "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
    frames = bytearray()
    for n in range(rate * secs):
        t = n / rate
        f = (220, 262, 330, 392)[int(t) % 4]
        frames += struct.pack("<h", int(6000 * math.sin(2 * math.pi * f * t)))
    w.writeframes(frames)
PY
python3 - "${track%.wav}.lrc" "$secs" <<'PY'
import sys
path, secs = sys.argv[1], int(sys.argv[2])
lines = ["故事的小黄花", "从出生那年就飘着", "童年的荡秋千", "随记忆一直晃到现在",
         "吹着前奏望着天空", "我想起花瓣试着掉落", "为你翘课的那一天", "花落的那一天",
         "教室的那一间", "我怎么看不见", "消失的下雨天", "我好想再淋一遍"]
with open(path, "w", encoding="utf-8") as f:
    f.write("[ti:晴天]\n[ar:歌手]\n")
    for i in range(secs // 2):
        f.write("[%02d:%02d.%02d]%s\n" % (i * 2 // 60, i * 2 % 60, 50, lines[i % len(lines)]))
PY

for skin in ${SKINS:-Default Porcelain}; do
    player_ms=() pulse_ms=() x_ms=() sum_ms=() share=()
    for run in $(seq "$runs"); do
        home="$work/home-$skin-$run"
        mkdir -p "$home/Documents/Tunola" "$home/run"
        chmod 700 "$home" "$home/run"
        measure_config "$home" "<Window><SKIN NAME=\"$skin\"/></Window><Session><DesktopLyrics VISIBLE=\"1\"/><Lyrics VISIBLE=\"1\"/></Session>"
        viewer=
        if [ -n "$shots" ] && [ "$run" = 1 ]; then
            # Another program's window under the desktop lyrics.
            display -geometry +0+560 -resize 1280x240! "$here/../docs/skins/$skin-all.png" \
                >/dev/null 2>&1 &
            viewer=$!
            measure_pids+=("$viewer")
            sleep 1
        fi
        HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/.config \
            "$bin" "$track" >"$home/player.log" 2>&1 &
        player=$!
        sleep 5
        if [ -n "$viewer" ]; then
            mkdir -p screenshots
            for n in 1 2 3; do
                import -window root "screenshots/lyrics-$skin-$n.png"
                sleep 0.7
            done
        fi
        p0=$(measure_cpu $player) a0=$(measure_cpu "$pulse_pid") x0=$(measure_cpu "$xvfb_pid")
        if [ -n "${PROFILE:-}" ]; then
            mkdir -p "$PROFILE"
            perf record -q -g -F 499 -p "$player,$xvfb_pid" -o "$PROFILE/perf-$skin-$run.data" \
                -- sleep "$seconds" >/dev/null 2>&1
        else
            sleep "$seconds"
        fi
        p1=$(measure_cpu $player) a1=$(measure_cpu "$pulse_pid") x1=$(measure_cpu "$xvfb_pid")
        kill $player
        wait $player 2>/dev/null || true
        [ -n "$viewer" ] && { kill "$viewer" 2>/dev/null || true; }
        player_ms+=("$((p1 - p0))") pulse_ms+=("$((a1 - a0))") x_ms+=("$((x1 - x0))")
        total=$((p1 - p0 + a1 - a0 + x1 - x0))
        sum_ms+=("$total")
        share+=("$(awk -v t=$total -v s="$seconds" 'BEGIN { printf "%.2f", t / 10 / s }')")
    done
    echo "$skin skin, playing with the main, playlist and lyrics windows and the desktop lyrics, CPU ms per ${seconds} s:"
    measure_summary "  player" ms "${player_ms[@]}"
    measure_summary "  sound server" ms "${pulse_ms[@]}"
    measure_summary "  X server" ms "${x_ms[@]}"
    measure_summary "  all three" ms "${sum_ms[@]}"
    measure_summary "  share of one core" % "${share[@]}"
done
