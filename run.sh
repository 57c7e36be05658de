#!/usr/bin/env bash
# Builds trelliwick in Release, with the default word list beside it, and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}"

cmake --workflow --preset release
exec build/release/app/trelliwick "$@"
