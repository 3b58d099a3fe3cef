#!/usr/bin/env bash
# Memory once the music library window has shown its two pages: the player's resident memory
# (VmRSS) and that of WebEngine's helper processes, with the demo service, on a private virtual
# display. The player shows the window by itself once it has found the service.
#   tools/measure-library.sh [build dir=build] [seconds after the window showed=5]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
settle=${2:-5}
source tools/measure-lib.sh
trap measure_cleanup EXIT
measure_demo_home
measure_xvfb :85 1600x900x24
echo "$(date -u '+%F %H:%M') UTC, $(measure_load), commit $(git rev-parse --short HEAD)"
"$build/bin/tunola" 2>/dev/null &
player=$!
measure_pids+=("$player")
measure_window '分享平台' >/dev/null
sleep "$settle"
rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
total=0
helpers=()
for p in $(pgrep -d ' ' -P "$player") $(for c in $(pgrep -P "$player"); do pgrep -P "$c"; done); do
    helpers+=("$(rss "$p")")
    total=$((total + $(rss "$p")))
done
echo "window shown ${settle} s: player $(rss "$player") KiB; WebEngine helpers ${helpers[*]} KiB (sum $total KiB)"
echo "player resident KiB by mapping (largest):"
awk '/^[0-9a-f]+-[0-9a-f]+ / { n = ($6 == "") ? "[anonymous]" : $6; next }
     /^Rss:/ { r[n] += $2 }
     END { for (n in r) if (r[n] >= 2000) printf "  %6d %s\n", r[n], n }' "/proc/$player/smaps" | sort -rn
