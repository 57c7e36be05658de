#!/usr/bin/env bash
# Builds in Release and runs trelliwick-bench, which prints the figures of the
# README's Performance section.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}" libgtest-dev nlohmann-json3-dev scowl

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release
cmake --build build/bench -j "$(nproc)" --target trelliwick-bench
QT_QPA_PLATFORM=offscreen build/bench/tools/trelliwick-bench
