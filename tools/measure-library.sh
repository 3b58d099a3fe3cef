#!/usr/bin/env bash
# Memory once the music library window has shown its two pages: the player's resident memory
# (VmRSS) and that of WebEngine's helper processes, with the demo service, on a private virtual
# display. The player shows the window by itself once it has found the service.
#   tools/measure-library.sh [build dir=build] [seconds after the window showed=5]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
settle=${2:-5}
. scripts/demo-service.sh
export HOME=$DEMO_HOME
export XDG_RUNTIME_DIR=$demo_dir/run
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
display=:85
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
player=
trap 'kill $player $xvfb 2>/dev/null || true; demo_service_stop' EXIT INT TERM
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
echo "$(date -u '+%F %H:%M') UTC, $(uptime | sed 's/.*load/load/'), commit $(git rev-parse --short HEAD)"
"$build/bin/tunola" 2>/dev/null &
player=$!
for _ in $(seq 100); do
    w=$(xdotool search --name '分享平台' 2>/dev/null | head -1 || true)
    [ -n "$w" ] && xwininfo -id "$w" | grep -q IsViewable && break
    sleep 0.1
done
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
