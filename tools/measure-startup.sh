#!/usr/bin/env bash
# Measures the player's start: wall-clock time from exec to the first paint of the main window,
# and resident memory two seconds after start. Runs on a private virtual display with a fresh
# home folder, so the figures do not depend on the user's playlist or settings.
#   tools/measure-startup.sh [build dir] [runs]
set -euo pipefail
build=${1:-build}
runs=${2:-10}
bin="$build/bin/tunola"
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }

display=:79
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

home=$(mktemp -d)
export HOME=$home DISPLAY=$display XDG_RUNTIME_DIR=$home
export QT_LOGGING_RULES="tunola.startup.info=true"
times=()
rss=()
for _ in $(seq "$runs"); do
    log=$(mktemp)
    t0=$(date +%s%3N)
    "$bin" 2>"$log" &
    pid=$!
    for _ in $(seq 100); do grep -q 'first paint at' "$log" && break; sleep 0.02; done
    sleep 2
    rss+=("$(awk '/VmRSS/ {print $2}' /proc/$pid/status)")
    kill "$pid"; wait "$pid" 2>/dev/null || true
    t1=$(sed -n 's/.*first paint at \([0-9]*\).*/\1/p' "$log" | head -1)
    times+=("$((t1 - t0))")
    rm -f "$log"
done
rm -rf "$home"
sorted_t=$(printf '%s\n' "${times[@]}" | sort -n)
sorted_r=$(printf '%s\n' "${rss[@]}" | sort -n)
median() { sed -n "$(( ($(wc -l <<<"$1") + 1) / 2 ))p" <<<"$1"; }
echo "start to first paint (ms): median $(median "$sorted_t"), all: ${times[*]}"
echo "resident memory after 2 s (KiB): median $(median "$sorted_r"), all: ${rss[*]}"
