#!/usr/bin/env bash
# Captures the sample scene's window as the X server shows it: the program (examples/sample_scene.cpp)
# runs with a still picture once with the stored "Is3D" choice off and once with it on, and the
# screen is written as OUTDIR/software.png and OUTDIR/3d.png. Needs an X display (DISPLAY) and
# ImageMagick's import. Exit 77 with the reason on stdout when 3-D does not come up here.
# Usage: capture_sample_scene.sh PROGRAM OUTDIR
set -uo pipefail
program=$1; out=$2
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 77; }

run() { # run NAME IS3D: the capture of one mode
    local name=$1 is3d=$2 home="$out/$1" line="" pid status
    mkdir -p "$home"
    printf '# Per-user settings\n[SOFTWARE\\Casual Engine\\FwSampleScene]\n"Is3D"=4:0%s000000\n' "$is3d" \
        >"$home/registry.txt"
    mkfifo "$home/out"
    local leaks=()
    # Under LeakSanitizer: the OpenGL driver is unloaded before the report, so what it keeps
    # until exit shows without names that a suppression could match.
    [ "$is3d" = 1 ] && leaks=("ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")
    env "${leaks[@]}" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy FW_REGISTRY_FILE="$home/registry.txt" XDG_DATA_HOME="$home" \
        XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$home" "$program" -still 20 -frames 3000 >"$home/out" 2>"$home/log" &
    pid=$!
    # The program prints "still <mode>" once its picture stops changing.
    exec 3<"$home/out"
    while IFS= read -r -t 60 line <&3; do
        [[ $line == still* ]] && break
    done
    if [[ $line != still* ]]; then
        kill -TERM "$pid" 2>/dev/null; wait "$pid"
        echo "$name: the program never reported a still picture"; cat "$home/log"; exit 1
    fi
    if [ "$is3d" = 1 ] && [ "$line" != "still 3-D" ]; then
        kill -TERM "$pid" 2>/dev/null; wait "$pid"
        echo "3-D was asked for but did not come up (no OpenGL window context?): $(grep -i -m3 -E '3d|opengl|gl' "$home/log" | tr '\n' ' ')"
        exit 77
    fi
    import -window root "$out/$name.png" || { kill -TERM "$pid"; wait "$pid"; echo "$name: import failed"; exit 1; }
    # SDL turns the signal into a quit request: the program ends its loop and tears down.
    kill -TERM "$pid"
    cat <&3 >/dev/null
    exec 3<&-
    wait "$pid"; status=$?
    if [ "$status" -ne 0 ]; then
        echo "$name: the program ended with status $status"; cat "$home/log"; exit 1
    fi
    echo "$name: $line"
}

run software 0
run 3d 1
