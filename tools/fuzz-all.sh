#!/usr/bin/env bash
# Runs every libFuzzer target of the project for its budget, one after the other, and prints one
# line of figures per target (runs, executions per second, coverage, corpus size, crashes) for
# docs/PERFORMANCE.md. Builds the targets with clang in build-fuzz/ first.
#
#   tools/fuzz-all.sh                 every target, FUZZ_BUDGET seconds each (default 300)
#   FUZZ_BUDGET=30 tools/fuzz-all.sh skin lrc   only targets whose names contain "skin" or "lrc"
#   FUZZ_RUNS=5000000 tools/fuzz-all.sh url_decode update_answer   a number of inputs each instead
#
# Every target named fuzz_* or *_fuzzer in fuzz/<module>/CMakeLists.txt is found and run, e.g.
# fuzz/core's fuzz_url_decode (the web client's URL decoding), fuzz_update_answer (the update
# check's answer) and fuzz_update_text (what the updater shows of the service's parameter).
#
# Each target starts from its module's committed corpus (fuzz/<module>/corpus) when there is one,
# copied into build-fuzz/corpus/<target>/ so the committed one stays as it is, and uses the
# module's dictionary (fuzz/<module>/*.dict). A crash leaves its input in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."

budget=${FUZZ_BUDGET:-300}
dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNOLA_FUZZ=ON \
    -DTUNOLA_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > /dev/null
# The linked programs named as fuzz targets (not the helper targets CMake makes beside them).
mapfile -t targets < <(ninja -C "$dir" -t targets all |
    sed -n 's/^bin\/\(fuzz_[a-z0-9_]*\|[a-z0-9_]*_fuzzer\): CXX_EXECUTABLE_LINKER.*/\1/p' | sort -u)
if [ $# -gt 0 ]; then
    wanted=()
    for t in "${targets[@]}"; do
        for w in "$@"; do [[ $t == *"$w"* ]] && { wanted+=("$t"); break; }; done
    done
    targets=("${wanted[@]}")
fi
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}" zuvcl_fuzz_seeds > /dev/null

# The folder a target's sources live in names its module (none found: empty).
module_of() {
    { grep -l "NAME $1\b\|NAME ${1%_*}_\${" fuzz/*/CMakeLists.txt 2>/dev/null || true; } |
        head -1 | xargs -r dirname
}
# The image readers' seeds are made by a program: corpus/png, corpus/bmp.
"$dir/bin/zuvcl_fuzz_seeds" "$dir/zuvcl-seeds" > /dev/null

mkdir -p "$dir/corpus" "$dir/crashes"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
status=0
printf '%-22s %8s %10s %8s %8s %8s %s\n' target seconds runs exec/s cov corpus result
for t in "${targets[@]}"; do
    module=$(module_of "$t")
    corpus="$dir/corpus/$t"
    mkdir -p "$corpus"
    # A module's corpus, or one of its own for this target (corpus-request for ..._request).
    for seeds in "$module/corpus" "$module/corpus-${t##*_}" "$dir/zuvcl-seeds/${t#zuvcl_}"; do
        seeds=${seeds%_fuzzer}
        [ -n "$module" ] && [ -d "$seeds" ] && cp -rn "$seeds"/. "$corpus"/ 2>/dev/null || true
    done
    if [ -n "${FUZZ_RUNS:-}" ]; then
        args=(-runs="$FUZZ_RUNS")
    else
        args=(-max_total_time="$budget")
    fi
    args+=(-print_final_stats=1 -artifact_prefix="$dir/crashes/$t-")
    if [ -n "$module" ]; then
        dict=$(ls "$module"/*.dict 2>/dev/null | head -1 || true)
        [ -n "$dict" ] && args+=(-dict="$dict")
        [ -f "$module/lsan.supp" ] && export LSAN_OPTIONS="suppressions=$PWD/$module/lsan.supp"
    fi
    log="$dir/$t.log"
    result=ok
    started=$SECONDS
    "$dir/bin/$t" "${args[@]}" "$corpus" > "$log" 2>&1 || { result=CRASH; status=1; }
    took=$((SECONDS - started))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$({ grep -o 'cov: [0-9]*' "$log" || true; } | tail -1 | cut -d' ' -f2)
    printf '%-22s %8s %10s %8s %8s %8s %s\n' "$t" "$took" "${runs:-?}" "${speed:-?}" \
        "${cov:-?}" "$(ls "$corpus" | wc -l)" "$result"
    unset LSAN_OPTIONS
done
exit "$status"
