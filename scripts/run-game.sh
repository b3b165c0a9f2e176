#!/usr/bin/env bash
# Runs the program from a built tree. Without a display it runs under Xvfb when available.
set -euo pipefail
dir=$1; shift || true
prog="$dir/app/fwapp"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    exec xvfb-run -a "$prog" "$@"
fi
exec "$prog" "$@"
