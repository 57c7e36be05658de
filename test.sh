#!/usr/bin/env bash
# Builds trelliwick with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test headless. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}" libgtest-dev nlohmann-json3-dev

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DTRELLIWICK_SANITIZE=ON
cmake --build build/test -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
