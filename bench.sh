#!/usr/bin/env bash
# Builds in Release, runs trelliwick-bench, which prints the figures of the
# README's Performance section, and times whole runs of trelliwick-solve against
# `wc -l` with hyperfine. The lists it makes stay in build/bench/lists.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}" libgtest-dev scowl hyperfine python3 xvfb libx11-dev

cmake --workflow --preset bench
lists=build/bench/lists
build/bench/tools/trelliwick-bench "$lists"

# Whole processes, the tool against `wc -l` on the 4M-line list, in one session.
solve=build/bench/tools/trelliwick-solve
hyperfine -N --warmup 3 --runs 30 --export-json build/bench/hyperfine.json \
    "wc -l $lists/big.txt" \
    "$solve $lists/big.txt q uizaeon 4" \
    "$solve $lists/big.txt '' '' 99" \
    "$solve $lists/big.txt e rtxaslnoi 40"
python3 - build/bench/hyperfine.json <<'END'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
floor = results[0]["median"]
targets = {" q uizaeon 4": 1.5, " '' '' 99": 1.3, " e rtxaslnoi 40": 1.5}
lines = 4_000_000
print("\nmedians of whole processes, against `wc -l` on the same file:")
for result in results:
    ratio = result["median"] / floor
    target = next((t for end, t in targets.items() if result["command"].endswith(end)), None)
    verdict = "" if target is None else f"  (at most {target} x: {'met' if ratio <= target else 'NOT MET'})"
    print(f"{result['median'] * 1000:8.1f} ms  {result['median'] * 1e9 / lines:5.2f} ns/line  "
          f"{ratio:5.2f} x  {result['command']}{verdict}")
END
