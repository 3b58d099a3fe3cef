#!/usr/bin/env bash
# Measures adding many tagged files from outside to a running player: `tunola -e FOLDER` with N
# MP3 files (each with its own ID3v1 title and artist). Three figures per run:
#  - shown: from the command until the player's list holds all N entries (polled with
#    tunola-remote count, so it is late by up to one poll, ~10-20 ms);
#  - tags: from the command until every tag and length is in, as the player traces it
#    ("every tag and length in at <ms>" under tunola.playlist, after the one save of the list);
#  - the player's resident memory 3 s after that.
# The UI thread's stalls of 100 ms or more during the add are traced too (tunola.stall) and the
# longest is printed. A private Xvfb and a fresh home folder; the silent output.
#   tools/measure-add.sh [build dir] [runs=3] [files=10000]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
runs=${2:-3}
files=${3:-10000}
bin="$build/bin/tunola"
remote="$build/bin/tunola-remote"
tone="$build/bin/tunola_make_tone"
for f in "$bin" "$remote" "$tone"; do [ -x "$f" ] || { echo "no $f: build first" >&2; exit 1; }; done
trap measure_cleanup EXIT

work=$(measure_tmpdir)
measure_xvfb :76
"$tone" "$work/tone.wav" 1 440 44100 2 0.4
lame --quiet -b 128 "$work/tone.wav" "$work/tone.mp3"
mkdir -p "$work/music"
python3 - "$work/tone.mp3" "$work/music" "$files" <<'PY'
import sys
body = open(sys.argv[1], 'rb').read()
for i in range(int(sys.argv[3])):
    tag = b'TAG' + f'Title {i}'.encode().ljust(30, b'\0') + f'Artist {i % 97}'.encode().ljust(30, b'\0') \
        + b'Album'.ljust(30, b'\0') + b'2026' + b'\0' * 30 + b'\x0c'
    with open(f'{sys.argv[2]}/{i:05d}.mp3', 'wb') as f:
        f.write(body + tag)
PY
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD), $files files"

shown=() tags=() rss=() stalls=()
for run in $(seq "$runs"); do
    home="$work/home$run"
    mkdir -p "$home"
    chmod 700 "$home"
    measure_config "$home"
    result=$(
        export HOME=$home XDG_RUNTIME_DIR=$home TUNOLA_AUDIO_OUTPUT=silent
        QT_LOGGING_RULES="tunola.playlist.info=true;tunola.stall.info=true" \
            "$bin" >"$home/player.log" 2>&1 &
        pid=$!
        for _ in $(seq 100); do "$remote" count >/dev/null 2>&1 && break; sleep 0.1; done
        sync
        before=$(wc -l <"$home/player.log")
        t0=$(date +%s%3N)
        "$bin" -e "$work/music" >/dev/null 2>&1
        while [ "$("$remote" count 2>/dev/null || echo 0)" -lt "$files" ]; do
            [ $(($(date +%s%3N) - t0)) -lt 60000 ] || break
            sleep 0.01
        done
        t1=$(date +%s%3N)
        # A build without the trace (an older one read every tag before showing anything) is
        # given up on 20 s after the entries were shown.
        t2=
        while :; do
            t2=$(sed -n 's/.*every tag and length in at \([0-9]*\).*/\1/p' "$home/player.log" | tail -1)
            [ -n "$t2" ] && break
            [ $(($(date +%s%3N) - t1)) -lt 20000 ] || break
            sleep 0.01
        done
        sleep 3
        r=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
        kill $pid
        wait $pid 2>/dev/null || true
        stall=$(tail -n +"$((before + 1))" "$home/player.log" |
            sed -n 's/.*event loop stalled for \([0-9]*\) ms.*/\1/p' | sort -n | tail -1)
        echo "$((t1 - t0)) $([ -n "$t2" ] && echo $((t2 - t0)) || echo none) $r ${stall:-0}"
    )
    read -r t g r s <<<"$result"
    shown+=("$t") tags+=("$g") rss+=("$r") stalls+=("$s")
done
measure_summary "all $files entries in the list (ms)" ms "${shown[@]}"
if [[ " ${tags[*]} " != *" none "* ]]; then
    measure_summary "every tag and length in (ms)" ms "${tags[@]}"
else
    echo "every tag and length in: not traced by this build (${tags[*]})"
fi
measure_summary "resident memory 3 s later (KiB)" KiB "${rss[@]}"
measure_summary "longest UI stall of 100 ms or more (ms, 0 = none)" ms "${stalls[@]}"
