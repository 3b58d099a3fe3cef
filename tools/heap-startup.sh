#!/usr/bin/env bash
# A heap profile of the player's start: heaptrack records the player on a private virtual
# display with a fresh home folder (no service reachable, as tools/measure-startup.sh), and the
# player is killed N seconds after its first paint, so what heaptrack reports as leaked is what
# was live at that moment. Prints the live total and the largest live allocations by the player's own
# function that made them (or the library frames when none of ours is on the stack).
#   tools/heap-startup.sh [build dir] [seconds after the first paint=3] [rows=25]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/measure-lib.sh"
build=${1:-build}
settle=${2:-3}
rows=${3:-25}
bin="$build/bin/tunola"
[ -x "$bin" ] || { echo "no $bin: build first" >&2; exit 1; }
command -v heaptrack >/dev/null || { echo "heaptrack missing: run scripts/setup.sh" >&2; exit 1; }
trap measure_cleanup EXIT

measure_xvfb :79
measure_private_home
out=$(measure_tmpdir)
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git -C "$here/.." rev-parse --short HEAD)"
heaptrack -o "$out/profile" "$bin" >"$out/heaptrack.log" 2>&1 &
tracer=$!
measure_pids+=("$tracer")
# heaptrack slows the start down a lot (more under load): wait for the first paint.
for _ in $(seq 600); do grep -q 'first paint at' "$out/heaptrack.log" && break; sleep 0.1; done
sleep "$settle"
player=$(pgrep -P "$tracer" -x tunola | head -1 || true)
[ -n "$player" ] || { echo "the player did not start under heaptrack" >&2; exit 1; }
echo "player VmRSS under heaptrack: $(awk '/VmRSS/ {print $2}' "/proc/$player/status") KiB"
kill -KILL "$player"
wait "$tracer" || true
heaptrack_print -f "$out/profile.zst" --flamegraph-cost-type leaked -F "$out/live.stacks" \
    >/dev/null 2>&1
awk -v rows="$rows" '
    { n = $NF; $NF = ""; total += n
      k = split($0, f, ";"); key = ""
      for (i = k; i >= 1; i--) if (f[i] ~ /tunola::/) { key = f[i]; break }
      if (key == "") key = "(libraries) " substr(f[1] ";" f[2] ";" f[3], 1, 120)
      sub(/ \([^()]*\.(cpp|h)\) *$/, "", key)
      live[key] += n }
    END { printf "live heap %s s after the first paint: %d KiB\n", "'"$settle"'", total / 1024
          for (key in live) printf "%8.1f KiB  %s\n", live[key] / 1024, key | "sort -rn | head -" rows }
' "$out/live.stacks"
