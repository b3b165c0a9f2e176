#!/usr/bin/env bash
# Runs every test of a configured and built test tree through CTest, headless. Arguments after the
# tree and the job count go to CTest (e.g. -L threads).
set -euo pipefail
dir=$1; jobs=${2:-$(nproc)}
shift $(( $# < 2 ? $# : 2 ))
root=$(cd "$(dirname "$0")/.." && pwd)
export SDL_VIDEODRIVER=dummy
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export TSAN_OPTIONS=${TSAN_OPTIONS:-suppressions=$root/tests/tsan.supp:print_suppressions=0:second_deadlock_stack=1}
# Tests never touch the user's own settings file or data folders.
home="$(cd "$dir" && pwd)/test-home"
export FW_REGISTRY_FILE="$home/registry.txt"
export XDG_DATA_HOME="$home/data"
export XDG_CONFIG_HOME="$home/config"
cd "$dir"
ctest --output-on-failure -j "$jobs" --timeout 300 "$@"
