#!/usr/bin/env bash
# Builds trelliwick with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test headless, after a short fuzzing of the solve run (FUZZ_SECONDS,
# 60 by default; 0 skips it). Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}" libgtest-dev nlohmann-json3-dev clang libclang-rt-14-dev \
    dpkg-dev

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DTRELLIWICK_SANITIZE=ON
cmake --build build/test -j "$(nproc)"

fuzz_seconds=${FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
    CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELLIWICK_FUZZ=ON \
        -DTRELLIWICK_WINDOW=OFF -DBUILD_TESTING=OFF
    cmake --build build/fuzz -j "$(nproc)" --target solve_fuzzer
    mkdir -p build/fuzz/corpus
    if ! build/fuzz/tools/solve_fuzzer -max_total_time="$fuzz_seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/ \
        build/fuzz/corpus tools/fuzz_seeds > build/fuzz/fuzz.log 2>&1; then
        tail -n 60 build/fuzz/fuzz.log
        echo "The fuzzer found a fault: the input is in build/fuzz/." >&2
        exit 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units' build/fuzz/fuzz.log
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
