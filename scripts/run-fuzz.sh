#!/usr/bin/env bash
# Runs every libFuzzer target of a built fuzz tree (tests/fuzz/fuzz_*) for the given seconds, up to
# jobs targets at a time. Each grows its own corpus in <tree>/corpus/<reader> from the seeds in
# tests/fuzz/corpus/<reader> (the repository's seeds are never written); a crashing input lands in
# <tree>/artifacts/<reader>/ and the target's log in <tree>/logs/<reader>.log.
set -euo pipefail
dir=$(cd "$1" && pwd); seconds=${2:-60}; jobs=${3:-$(nproc)}
root=$(cd "$(dirname "$0")/.." && pwd)
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
home="$dir/test-home"
export FW_REGISTRY_FILE="$home/registry.txt" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
mkdir -p "$dir/logs"

run_one() {
    local target=$1 reader=${1##*/fuzz_}
    mkdir -p "$dir/corpus/$reader" "$dir/artifacts/$reader"
    if "$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/$reader/" "$dir/corpus/$reader" "$root/tests/fuzz/corpus/$reader" \
        >"$dir/logs/$reader.log" 2>&1; then
        echo "ok      $reader"
    else
        echo "FAILED  $reader (log: $dir/logs/$reader.log, inputs: $dir/artifacts/$reader/)"
        return 1
    fi
}
export -f run_one
export dir seconds root

echo "Fuzzing each target for $seconds s, $jobs at a time"
if find "$dir/tests/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' | sort | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}; then
    echo "No target failed."
else
    echo "A target failed: replay its input with <tree>/tests/fuzz/fuzz_<reader> <input>."
    exit 1
fi
