#!/usr/bin/env bash
# Measures what playing costs the whole desktop: CPU time of the player, of the sound server and
# of the X server over a fixed window of playback, then the same while paused (an idle player
# should cost nothing). Starts its own PulseAudio with a null sink and its own Xvfb, and plays a
# 192 kbit/s MP3 from a fresh home folder with the main and playlist windows as at start-up.
#   tools/measure-playback.sh [build dir] [runs=3] [seconds=30] [idle seconds=20]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
runs=${2:-3}
window=${3:-30}
idle=${4:-20}
bin="$build/bin/tunola"
remote="$build/bin/tunola-remote"
tone="$build/bin/tunola_make_tone"
for f in "$bin" "$remote" "$tone"; do [ -x "$f" ] || { echo "no $f: build first" >&2; exit 1; }; done
trap measure_cleanup EXIT

work=$(measure_tmpdir)
measure_xvfb :78
measure_pulse "$work"
"$tone" "$work/tone.wav" $((window + 30)) 440 44100 2 0.4
lame --quiet -b 192 "$work/tone.wav" "$work/track.mp3"
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD)"

player_ms=() pulse_ms=() x_ms=() sum_ms=() idle_pulse=() idle_player=() idle_x=()
for run in $(seq "$runs"); do
    home="$work/home$run"
    mkdir -p "$home/Documents/Tunola"
    chmod 700 "$home"
    measure_config "$home"
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<DefaultList><PlayerList><LIST Path="%s" Title="tone" Artist="" Url="0" Ltime="0"/></PlayerList></DefaultList>\n' \
        "$work/track.mp3" >"$home/Documents/Tunola/Default.pls"
    (
        export HOME=$home XDG_RUNTIME_DIR=$home TUNOLA_AUDIO_OUTPUT=pulse
        "$bin" >"$home/player.log" 2>&1 &
        pid=$!
        for _ in $(seq 100); do "$remote" count >/dev/null 2>&1 && break; sleep 0.1; done
        [ "$("$remote" play)" = 1 ] || { echo "the player did not start playing" >&2; kill $pid; exit 1; }
        sleep 3 # past the opening and the first fill of the buffers
        p0=$(measure_cpu $pid) a0=$(measure_cpu "$pulse_pid") x0=$(measure_cpu "$xvfb_pid")
        sleep "$window"
        p1=$(measure_cpu $pid) a1=$(measure_cpu "$pulse_pid") x1=$(measure_cpu "$xvfb_pid")
        "$remote" play >/dev/null # pause
        sleep 3                   # the output lets go of its stream within 2 s
        p2=$(measure_cpu $pid) a2=$(measure_cpu "$pulse_pid") x2=$(measure_cpu "$xvfb_pid")
        sleep "$idle"
        p3=$(measure_cpu $pid) a3=$(measure_cpu "$pulse_pid") x3=$(measure_cpu "$xvfb_pid")
        kill $pid
        wait $pid 2>/dev/null || true
        echo "$((p1 - p0)) $((a1 - a0)) $((x1 - x0)) $((p3 - p2)) $((a3 - a2)) $((x3 - x2))"
    ) >"$work/run$run"
    read -r p a x ip ia ix <"$work/run$run"
    player_ms+=("$p") pulse_ms+=("$a") x_ms+=("$x") sum_ms+=("$((p + a + x))")
    idle_player+=("$ip") idle_pulse+=("$ia") idle_x+=("$ix")
done
echo "CPU while playing, ms per ${window} s:"
measure_summary "  player" ms "${player_ms[@]}"
measure_summary "  PulseAudio" ms "${pulse_ms[@]}"
measure_summary "  X server" ms "${x_ms[@]}"
measure_summary "  all three" ms "${sum_ms[@]}"
echo "CPU while paused, ms per ${idle} s:"
measure_summary "  player" ms "${idle_player[@]}"
measure_summary "  PulseAudio" ms "${idle_pulse[@]}"
measure_summary "  X server" ms "${idle_x[@]}"
