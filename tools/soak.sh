#!/usr/bin/env bash
# A scripted session of the real player: for MINUTES minutes (default 10) random remote commands
# (play, pause, next, previous, stop, mute, seek, volume, status), playlist edits (files and
# network entries that fail added while it plays, random entries removed so that the list stays
# about as long as it began), skin switches and drags of the main and playlist windows, on a
# private home, runtime folder and silent output. At the end the player is closed and must end
# cleanly with nothing on stderr from a sanitizer (LeakSanitizer runs at exit), and its resident
# memory may have grown by at most 1 MiB from minute 1 to the end.
#
#   tools/soak.sh BUILD_DIR [MINUTES]     e.g. tools/soak.sh build-asan 2 (the CI's form)
#
# Run it on the ASan + UBSan build to catch memory faults and leaks. ASan's quarantine is off
# here: it holds freed blocks back for a while, and its allocator, which never returns memory
# to the system, then keeps taking fresh memory (2 to 3 MiB a minute with 16 MiB of quarantine,
# 1.5 with 1 MiB) while the same session on the normal build stays flat; without the quarantine
# what remains is about 0.1 to 0.15 MiB a minute of ASan's own (docs/PERFORMANCE.md, "Soak").
# Freed memory is still poisoned until it is used again, and the whole test suite runs with
# ASan's full quarantine. Allocation stacks are kept 10 frames deep and taken by the slow
# unwinder: the fast one follows frame pointers, which Qt and the system libraries do not keep, so
# a stack through them ends in junk frames, and every new junk sequence was a new entry in ASan's
# stack depot (about 150 KiB a minute; with the slow unwinder the depot stays flat). Resident memory is read as the least of five
# readings a second apart while no command runs, so that a large block in use for a moment does
# not count as growth.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: tools/soak.sh BUILD_DIR [MINUTES]}
minutes=${2:-10}
bin="$PWD/$build/bin"

work=$(mktemp -d /tmp/tunola-soak.XXXXXX)
trap 'kill "$player" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DOCUMENTS_DIR="$work/home/Documents"
export QT_QPA_PLATFORM=offscreen TUNOLA_AUDIO_OUTPUT=silent
# No service of this machine (the demo, a user's own) hears from the soak player.
export TUNOLA_SERVICE_HOST=${TUNOLA_SERVICE_HOST:-127.0.0.1:9}
mkdir -p "$HOME/Documents/Tunola" "$XDG_RUNTIME_DIR" "$work/music"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:quarantine_size_mb=0:thread_local_quarantine_size_kb=0:malloc_context_size=10:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Short tracks, so that track ends and the next entry come often.
python3 - "$work/music" <<'PY'
import math, struct, sys, wave
for i in range(6):
    with wave.open(f"{sys.argv[1]}/track{i}.wav", "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
        frames = 8000 * (2 + i % 3)
        w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * (300 + 50 * i) * t / 8000)))
                               for t in range(frames)))
PY

"$bin/tunola" "$work/music" 2> "$work/stderr" &
player=$!
remote() { timeout 20 "$bin/tunola-remote" "$@" > /dev/null 2>&1 || true; }
for _ in $(seq 100); do "$bin/tunola-remote" count > /dev/null 2>&1 && break; sleep 0.1; done

skins=()
for dir in "$bin"/skin/*/; do skins+=("$(basename "$dir")"); done
[ ${#skins[@]} -gt 0 ] || { echo "soak: no skins in $bin/skin"; exit 1; }
windows=(main playlist)

# The list stays about as long as at the start: every add is followed by removals of random
# entries (the playing one among them) once it holds more than 12, so that what the soak measures
# is memory the player keeps, not a list that grows.
trim() {
    local n
    n=$(timeout 20 "$bin/tunola-remote" count 2>/dev/null) || return 0
    while [ "$n" -gt 12 ]; do
        remote remove $((RANDOM % n))
        n=$((n - 1))
    done
}
rss() {
    local least= kib
    for _ in 1 2 3 4 5; do
        kib=$(awk '/^VmRSS:/ { print $2 }' "/proc/$player/status")
        if [ -z "$least" ] || [ "$kib" -lt "$least" ]; then least=$kib; fi
        sleep 1
    done
    echo "$least"
}
start=$(date +%s)
end=$((start + minutes * 60))
baseline=
commands=0
while [ "$(date +%s)" -lt "$end" ]; do
    kill -0 "$player" 2>/dev/null || { echo "soak: the player died"; cat "$work/stderr"; exit 1; }
    case $((RANDOM % 15)) in
        0|1) remote play ;;
        2) remote pause ;;
        3|4) remote next ;;
        5) remote previous ;;
        6) remote stop ;;
        7) remote mute ;;
        8) remote seek $((RANDOM % 3)) ;;
        9) remote volume $((RANDOM % 101)) ;;
        10) remote add "http://127.0.0.1:1/dead$((RANDOM % 4)).mp3"; trim ;;
        11) remote add "$work/music/track$((RANDOM % 6)).wav"; trim ;;
        12) remote skin "${skins[RANDOM % ${#skins[@]}]}" ;;
        13|14) remote move "${windows[RANDOM % 2]}" $((RANDOM % 201 - 100)) $((RANDOM % 201 - 100)) ;;
    esac
    remote status
    commands=$((commands + 1))
    if [ -z "$baseline" ] && [ $(( $(date +%s) - start )) -ge 60 ]; then
        baseline=$(rss)
        echo "soak: resident memory at minute 1: $baseline KiB"
    fi
    sleep 0.$((RANDOM % 4))
done
final=$(rss)
count=$("$bin/tunola-remote" count 2>/dev/null || echo '?')
kill -TERM "$player"
rc=0
wait "$player" || rc=$?
echo "soak: $commands commands in $minutes min, $count entries at the end; resident memory at the end: $final KiB"
status=0
if [ "$rc" -ne 0 ]; then echo "soak: the player ended with status $rc"; status=1; fi
if grep -q "Sanitizer\|runtime error" "$work/stderr"; then
    echo "soak: sanitizer report:"; cat "$work/stderr"; status=1
fi
growth=$((final - ${baseline:-$final}))
echo "soak: growth from minute 1 to the end: $growth KiB (at most 1024)"
[ "$growth" -le 1024 ] || status=1
exit "$status"
