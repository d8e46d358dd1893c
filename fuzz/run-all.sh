#!/usr/bin/env bash
# Builds every fuzz target (fuzz/fuzz_*.cpp) with clang and runs each for a while on a copy of its
# seed corpus fuzz/corpus/<name without fuzz_>/. Exits non-zero when any target crashes.
#
#   fuzz/run-all.sh [seconds per target, default 30]
#
# Environment: KALVOR_FUZZ_BUILD (build folder, default build-fuzz). Crash inputs are kept in
# <build>/artifacts/<name>/; the grown corpus in <build>/corpus/<name>/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVOR_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-30}
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$sanitize" -DKALVOR_BUILD_FUZZ=ON -DKALVOR_BUILD_GUI=OFF -DKALVOR_BUILD_TESTS=OFF \
    -DKALVOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target kalvor_fuzz_all

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
shopt -s nullglob
for source in "$root"/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    short=${name#fuzz_}
    work=$build/corpus/$short
    artifacts=$build/artifacts/$short
    rm -rf "$work"
    mkdir -p "$work" "$artifacts"
    if [ -d "$root/fuzz/corpus/$short" ]; then
        cp -r "$root/fuzz/corpus/$short/." "$work/"
    else
        echo "warning: no seed corpus fuzz/corpus/$short/" >&2
    fi
    extra=()
    [ -f "$root/fuzz/$short.dict" ] && extra+=("-dict=$root/fuzz/$short.dict")

    echo "== $name: ${seconds}s on $(find "$work" -type f | wc -l) seeds"
    log=$build/$name.log
    if "$build/fuzz/$name" -max_total_time="$seconds" -max_len=65536 -timeout=20 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 "${extra[@]}" "$work" >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | tr '\n' ' '
        echo
    else
        echo "FAIL: $name (log $log, inputs in $artifacts/)"
        grep -m1 -E 'ERROR: |runtime error|fuzz_[a-z]+: ' "$log" || true
        tail -n 40 "$log"
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "crashed: ${failed[*]}"
    exit 1
fi
echo "all fuzz targets ran clean"
