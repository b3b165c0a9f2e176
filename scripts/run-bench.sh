#!/usr/bin/env bash
# Runs every benchmark program of a Release tree. Results are ratios to baselines measured in the same run.
set -euo pipefail
dir=$1
shopt -s nullglob
found=0
for b in "$dir"/bench/bench_*; do
    [ -x "$b" ] || continue
    found=1
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.05
done
[ $found -eq 1 ] || echo "no benchmarks built"
