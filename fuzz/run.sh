#!/usr/bin/env bash
# Builds the fuzz target with clang in build-fuzz/ and runs it for SECONDS (default
# 5); what a run learns stays in build-fuzz/corpus for the next one, and an input
# that breaks something is left in build-fuzz/artifacts/. A longer hunt: fuzz/run.sh 600
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DZOREDEV_BUILD_FUZZ=ON -DZOREDEV_BUILD_TESTS=OFF -DZOREDEV_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target fuzz_rules
mkdir -p "$build/corpus" "$build/artifacts"
"$build/fuzz/fuzz_rules" -max_total_time="${1:-5}" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$build/corpus" "$root/fuzz/corpus/fuzz_rules" \
    >"$build/artifacts/run.log" 2>&1 || { tail -30 "$build/artifacts/run.log" >&2; exit 1; }
grep -m1 number_of_executed_units "$build/artifacts/run.log"
