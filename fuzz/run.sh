#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for SECONDS
# (default 5). Fails on any crash, sanitizer report or broken property; the input
# that did it is left in build-fuzz/artifacts/. A longer hunt: fuzz/run.sh 600
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
seconds="${1:-5}"
build="$root/build-fuzz"
targets=(fuzz_strict_number fuzz_leading_number fuzz_count_formats fuzz_log_reader)

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DZOREDEV_BUILD_FUZZ=ON \
        -DZOREDEV_BUILD_TESTS=OFF -DZOREDEV_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target fuzzers --parallel "$(nproc)"

mkdir -p "$build/artifacts"
failed=()
for target in "${targets[@]}"; do
    # New inputs go to the first directory, so the seeds kept in the repository
    # stay as they are while what a run learns carries over to the next run.
    learned="$build/corpus/$target"
    mkdir -p "$learned"
    log="$build/artifacts/$target.log"
    if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
        "$learned" "$here/corpus/$target" >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        echo "$target: ${runs:-?} runs in ${seconds}s, corpus $(ls "$learned" | wc -l) inputs"
    else
        echo "$target: FAILED, see $log" >&2
        grep -E "property broken|ERROR: |runtime error|SUMMARY" "$log" | head -20 >&2 || true
        failed+=("$target")
    fi
done
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
