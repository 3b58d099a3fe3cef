#!/usr/bin/env bash
# Builds Tunola and runs every test: first the normal build, then two sanitizer stages side by
# side: the whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, followed by
# two minutes of soak of the real player on that build (tools/soak.sh), and the tests of the
# code that runs threads (playback controller, audio library, playlist, web calls) built with
# ThreadSanitizer. TUNOLA_SOAK=0 or TUNOLA_TSAN=0 leaves that stage out. Installs what it needs
# on the first run.
# Each stage prints its time; docs/PERFORMANCE.md has the whole run's time on a 2-core machine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

configure() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DTUNOLA_ONLY= -DTUNOLA_SKIP= "$@"
}

run_suite() {
    local dir=$1 build_jobs=$2; shift 2
    configure "$dir" "$@"
    cmake --build "$dir" -j "$build_jobs"
    (cd "$dir" && ctest --output-on-failure -j "$build_jobs")
}

asan_stage() {
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    run_suite build-asan "$1" -DCMAKE_BUILD_TYPE=Debug -DTUNOLA_SANITIZE=address
    # The real player under ASan + UBSan for two minutes of random commands (tools/soak.sh).
    if [ "${TUNOLA_SOAK:-1}" = 1 ]; then
        local begun=$SECONDS
        bash tools/soak.sh build-asan 2
        echo "soak: $((SECONDS - begun)) s"
    fi
}

# The threaded code's tests only. Qt itself is not built for ThreadSanitizer; its event queue's
# hand-off is suppressed by name in tests/tsan.supp. Of the playlist window's tests only those
# that read files on the track readers' threads run here: the others paint whole windows, which
# Qt's raster engine spreads over its own pooled threads in code TSan cannot see into.
tsan_stage() {
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp"
    configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNOLA_SANITIZE=thread
    local tests=(test_playback_controller tunola_audio_tests test_playlist test_playlist_view
        test_service_workers test_lingering_threads)
    # The web calls' tests, once they are there.
    while read -r target; do
        tests+=("$target")
    done < <(ninja -C build-tsan -t targets all | sed -n 's/^\(test_web[a-z_]*\): .*/\1/p')
    cmake --build build-tsan -j "$1" --target "${tests[@]}" test_playlist_window
    local pattern
    pattern="^($(IFS='|'; echo "${tests[*]}"))\$"
    (cd build-tsan && ctest --output-on-failure -j "$1" -R "$pattern")
    local home="$PWD/build-tsan/tsan-home"
    mkdir -p "$home/tmp"
    (cd build-tsan && QT_QPA_PLATFORM=offscreen HOME="$home" TMPDIR="$home/tmp" \
        XDG_RUNTIME_DIR="$home/tmp" XDG_CONFIG_HOME="$home/.config" bin/test_playlist_window \
        --gtest_filter='*FilesAddedInOneGo*:*AHundredFiles*:*TagsGive*:*TagsReadLater*:*ClosingMidFill*:*FoldersGoIn*:*OpeningAList*')
}

# Runs a stage and prints its time once it passed (a failing stage ends the script or its
# background job under set -e, so its command must not sit in an || list).
timed() {
    local name=$1 begun=$SECONDS
    shift
    "$@"
    echo "$name: $((SECONDS - begun)) s"
}

echo "== normal build =="
timed "normal build and tests" run_suite build "$jobs" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTUNOLA_SANITIZE=OFF

if [ "${TUNOLA_TSAN:-1}" = 1 ] && [ "$jobs" -ge 2 ]; then
    echo "== sanitizer builds side by side: ASan + UBSan (whole suite), TSan (threaded code) =="
    # The small TSan stage gets one core, the whole-suite ASan stage the rest.
    timed "ASan + UBSan stage" asan_stage $((jobs - 1)) > >(sed -u 's/^/[asan] /') 2>&1 &
    asan=$!
    timed "TSan stage" tsan_stage 1 > >(sed -u 's/^/[tsan] /') 2>&1 &
    tsan=$!
    status=0
    wait "$asan" || { echo "ASan + UBSan stage failed"; status=1; }
    wait "$tsan" || { echo "TSan stage failed"; status=1; }
    echo "whole run: $SECONDS s"
    exit "$status"
fi
echo "== sanitizer build (ASan + UBSan) =="
timed "ASan + UBSan stage" asan_stage "$jobs"
if [ "${TUNOLA_TSAN:-1}" = 1 ]; then
    echo "== sanitizer build (TSan) =="
    timed "TSan stage" tsan_stage "$jobs"
fi
echo "whole run: $SECONDS s"
