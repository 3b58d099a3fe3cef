#!/usr/bin/env bash
# Measures what the service check costs an idle player while its service does not answer: the
# player's CPU time over a window with nothing playing (the main and playlist windows as at
# start-up, silent output, fresh home folder, private Xvfb), so a check runs on every tick of
# tmr_chk (2 s). Two services that never answer:
#   - dead: a port nothing listens on (each check fails at once);
#   - silent: a port that takes connections and never answers (each check waits for its stall
#     bound, so one runs at a time and the next tick finds it still running).
#   tools/measure-service-check.sh [build dir] [runs=3] [seconds=60]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
runs=${2:-3}
window=${3:-60}
bin="$build/bin/tunola"
remote="$build/bin/tunola-remote"
for f in "$bin" "$remote"; do [ -x "$f" ] || { echo "no $f: build first" >&2; exit 1; }; done
trap measure_cleanup EXIT

work=$(measure_tmpdir)
measure_xvfb :79
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD)"

# A port that takes connections (the kernel completes them) but is never accepted or answered.
python3 -c '
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(512)
print(s.getsockname()[1], flush=True)
time.sleep(1e9)' >"$work/silent.port" &
measure_pids+=("$!")
for _ in $(seq 50); do [ -s "$work/silent.port" ] && break; sleep 0.1; done
silent_port=$(cat "$work/silent.port")
# A port nothing listens on: bound once, then let go.
dead_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

for kind in dead silent; do
    port=$dead_port
    [ "$kind" = silent ] && port=$silent_port
    cpu=()
    for run in $(seq "$runs"); do
        home="$work/$kind$run"
        mkdir -p "$home/Documents/Tunola"
        chmod 700 "$home"
        printf '<TUNOLA.CONFIG><Service HOST="127.0.0.1:%s"/></TUNOLA.CONFIG>\n' "$port" \
            >"$home/Documents/Tunola/tunola.xml"
        (
            # The setting and its stand-in both name the port.
            export HOME=$home XDG_RUNTIME_DIR=$home TUNOLA_AUDIO_OUTPUT=silent \
                TUNOLA_SERVICE_HOST=127.0.0.1:$port
            "$bin" >"$home/player.log" 2>&1 &
            pid=$!
            for _ in $(seq 100); do "$remote" count >/dev/null 2>&1 && break; sleep 0.1; done
            sleep 3 # past start-up
            c0=$(measure_cpu $pid)
            sleep "$window"
            c1=$(measure_cpu $pid)
            threads=$(awk '/^Threads:/ { print $2 }' "/proc/$pid/status")
            kill $pid
            wait $pid 2>/dev/null || true
            echo "$((c1 - c0)) $threads"
        ) >"$work/run-$kind$run"
        read -r ms threads <"$work/run-$kind$run"
        cpu+=("$ms")
    done
    measure_summary "idle player, service $kind, CPU ms per ${window} s" ms "${cpu[@]}"
    echo "  threads at the end of the last run: $threads"
done
