#!/usr/bin/env bash
# Builds Tunola and runs every test: first the normal build, then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer. With TUNOLA_TSAN=1 the tests of the code that
# runs threads (playback controller, audio library, playlist, web calls) are also built with
# ThreadSanitizer, beside the ASan stage; with TUNOLA_SOAK=1 the real player soaks for two
# minutes on the ASan build. Installs what it needs on the first run.
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
    if [ "${TUNOLA_SOAK:-0}" = 1 ]; then
        bash tools/soak.sh build-asan 2
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
        test_service_workers)
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
        --gtest_filter='*FilesAddedInOneGo*:*AHundredFiles*:*TagsGive*:*FoldersGoIn*:*OpeningAList*')
}

echo "== normal build =="
run_suite build "$jobs" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNOLA_SANITIZE=OFF

# The TSan stage and the soak are not yet part of the default run (their time on this machine is
# still to be measured): TUNOLA_TSAN=1 and TUNOLA_SOAK=1 add them.
if [ "${TUNOLA_TSAN:-0}" = 1 ] && [ "$jobs" -ge 2 ]; then
    echo "== sanitizer builds side by side: ASan + UBSan (whole suite), TSan (threaded code) =="
    # The small TSan stage gets one core, the whole-suite ASan stage the rest.
    asan_stage $((jobs - 1)) > >(sed -u 's/^/[asan] /') 2>&1 &
    asan=$!
    tsan_stage 1 > >(sed -u 's/^/[tsan] /') 2>&1 &
    tsan=$!
    status=0
    wait "$asan" || { echo "ASan + UBSan stage failed"; status=1; }
    wait "$tsan" || { echo "TSan stage failed"; status=1; }
    exit "$status"
fi
echo "== sanitizer build (ASan + UBSan) =="
asan_stage "$jobs"
if [ "${TUNOLA_TSAN:-0}" = 1 ]; then
    echo "== sanitizer build (TSan) =="
    tsan_stage "$jobs"
fi
