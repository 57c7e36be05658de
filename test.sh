#!/usr/bin/env bash
# Checks trelliwick the way CI does: formatting, then a build with AddressSanitizer
# and UndefinedBehaviorSanitizer that runs clang-tidy on each file as it compiles it,
# and every test (the window's headless, the built program's on private X servers),
# then a short fuzzing of the solve run (FUZZ_SECONDS, 60 by default; 0 skips it).
# Exits non-zero when anything fails, a warning or a finding of clang-tidy included.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}" "${test_packages[@]}"

mapfile -t sources < <(find solver window app tools -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run -Werror "${sources[@]}"

mkdir -p build/test
cmake --workflow --preset test 2>&1 | tee build/test/workflow.log

fuzz_seconds=${FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
    cmake --workflow --preset fuzz
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

# The tests' closing line again, as the last word.
grep -E '^[0-9]+% tests passed' build/test/workflow.log | tail -n 1
