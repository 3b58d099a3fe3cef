#!/usr/bin/env bash
# Measures what playing costs with every lyric window on screen: CPU seconds of the player, the
# sound server (PulseAudio) and the X server over a window of playback with the main,
# playlist and lyrics windows and the desktop lyrics shown, on a private virtual display with a
# compositor (xcompmgr, so the desktop lyrics' opacity is real), a private sound server with a
# null sink and a fresh home folder. The track has a Chinese lyric beside it, a line every 2 s.
# With "screens" as third argument it leaves screenshots in screenshots/: the lyrics window
# scrolling, and the desktop lyrics over another window (a picture viewer under it), per skin.
#   tools/measure-lyrics-cpu.sh [build dir] [seconds] [screens]
set -euo pipefail
build=${1:-build}
seconds=${2:-30}
shots=${3:-}
bin="$build/bin/tunola"
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }
here=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d)
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/.config
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; sleep 0.3; rm -rf "$work"; }
trap cleanup EXIT

display=:84
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!; pids+=("$xvfb")
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xcompmgr >/dev/null 2>&1 &
pids+=("$!")
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-native-protocol-unix" --load="module-null-sink" >/dev/null 2>&1 &
pulse=$!; pids+=("$pulse")
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

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

cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
ticks=$(getconf CLK_TCK)
measure() { # label
    local p0 a0 x0 p1 a1 x1
    p0=$(cpu "$player"); a0=$(cpu "$pulse"); x0=$(cpu "$xvfb")
    sleep "$seconds"
    p1=$(cpu "$player"); a1=$(cpu "$pulse"); x1=$(cpu "$xvfb")
    awk -v l="$1" -v s="$seconds" -v t="$ticks" -v p=$((p1 - p0)) -v a=$((a1 - a0)) -v x=$((x1 - x0)) \
        'BEGIN { printf "%s: player %.2f s, sound server %.2f s, X server %.2f s, total %.2f s per %d s (%.2f %% of one core)\n", l, p/t, a/t, x/t, (p+a+x)/t, s, 100*(p+a+x)/t/s }'
}

for skin in ${SKINS:-Default Porcelain}; do
    mkdir -p "$HOME/Documents/Tunola"
    cat >"$HOME/Documents/Tunola/tunola.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<TUNOLA.CONFIG><Window><SKIN NAME="$skin"/></Window><Session><DesktopLyrics VISIBLE="1"/><Lyrics VISIBLE="1"/></Session></TUNOLA.CONFIG>
XML
    viewer=
    if [ -n "$shots" ]; then
        # Another program's window under the desktop lyrics.
        display -geometry +0+560 -resize 1280x240! "$here/docs/skins/$skin-all.png" >/dev/null 2>&1 &
        viewer=$!; pids+=("$viewer")
        sleep 1
    fi
    "$bin" "$track" >/dev/null 2>&1 &
    player=$!; pids+=("$player")
    sleep 5
    if [ -n "$shots" ]; then
        mkdir -p screenshots
        for n in 1 2 3; do
            import -window root "screenshots/lyrics-$skin-$n.png"
            sleep 0.7
        done
    fi
    measure "$skin skin, playing with the main, playlist and lyrics windows and the desktop lyrics"
    kill "$player"; wait "$player" 2>/dev/null || true
    [ -n "$viewer" ] && { kill "$viewer" 2>/dev/null || true; }
    rm -rf "$HOME/Documents/Tunola"
done
