#!/usr/bin/env bash
# Runs every benchmark program of a Release tree. Results are ratios to baselines measured in the same run.
# Without a display the programs run under Xvfb (when installed), so the window benchmarks have one;
# OpenGL there is Mesa's llvmpipe.
set -euo pipefail
dir=$1
shopt -s nullglob
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null && [ -z "${FW_BENCH_IN_XVFB:-}" ]; then
    exec env FW_BENCH_IN_XVFB=1 LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
found=0
for b in "$dir"/bench/bench_*; do
    [ -x "$b" ] || continue
    found=1
    echo "== $(basename "$b")"
    if [ "$(basename "$b")" = bench_d3d_quads ]; then
        # The window cases in a process of their own: a GLX context cannot be made current in a
        # process whose thread had the headless EGL one.
        "$b" --benchmark_min_time=0.05 --benchmark_filter=-Window
        "$b" --benchmark_min_time=0.05 --benchmark_filter=Window
        continue
    fi
    "$b" --benchmark_min_time=0.05
done
[ $found -eq 1 ] || echo "no benchmarks built"
