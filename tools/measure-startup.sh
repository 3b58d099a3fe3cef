#!/usr/bin/env bash
# Measures the player's start: wall-clock time from exec to the first paint of the main window,
# and resident memory (VmRSS) three seconds after start, with median and range of the runs.
# Runs on a private virtual display with a fresh home folder, so the figures do not depend on
# the user's playlist or settings. The last run also prints where the memory is: resident KiB
# by mapping (each shared library, the fonts, the heap, anonymous memory), largest first.
#   tools/measure-startup.sh [build dir] [runs=10] [seconds before reading memory=3]
#   LIST=file.pls starts every run with that saved list as the default playlist.
#   BIN=program measures another program the same way (build/bin/tunola-qt-floor: the floor a
#   bare Qt program with the same three windows takes on this machine).
# The service address is set to a closed port, so no service is reachable (as the budget says).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
runs=${2:-10}
settle=${3:-3}
bin=${BIN:-$build/bin/tunola}
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }
trap measure_cleanup EXIT

measure_xvfb :79
measure_private_home
[ -n "${LIST:-}" ] && cp "$LIST" "$home/Documents/Tunola/Default.pls"
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD)"
times=()
rss=()
for run in $(seq "$runs"); do
    log=$(mktemp)
    t0=$(date +%s%3N)
    "$bin" 2>"$log" &
    pid=$!
    for _ in $(seq 100); do grep -q 'first paint at' "$log" && break; sleep 0.02; done
    sleep "$settle"
    rss+=("$(awk '/VmRSS/ {print $2}' /proc/$pid/status)")
    if [ "$run" = "$runs" ]; then
        echo "resident KiB by mapping, last run:"
        awk '/^[0-9a-f]+-[0-9a-f]+ / { n = ($6 == "") ? "[anonymous]" : $6; next }
             /^Rss:/ { r[n] += $2 }
             END { for (n in r) if (r[n] >= 100) printf "  %6d %s\n", r[n], n }' \
            "/proc/$pid/smaps" | sort -rn
    fi
    kill "$pid"; wait "$pid" 2>/dev/null || true
    t1=$(sed -n 's/.*first paint at \([0-9]*\).*/\1/p' "$log" | head -1)
    times+=("$((t1 - t0))")
    rm -f "$log"
done
measure_summary "start to first paint" ms "${times[@]}"
measure_summary "resident memory after ${settle} s" KiB "${rss[@]}"
