#!/usr/bin/env bash
# Builds trelliwick in Release, with the default word list beside it, and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build/release -j "$(nproc)"
exec build/release/app/trelliwick "$@"
