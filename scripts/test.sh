#!/usr/bin/env bash
# Builds Tunola and runs every test: first the normal build, then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer. Installs what it needs on the first run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DTUNOLA_ONLY= -DTUNOLA_SKIP= "$@"
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== normal build =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNOLA_SANITIZE=OFF

echo "== sanitizer build (ASan + UBSan) =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DTUNOLA_SANITIZE=ON
