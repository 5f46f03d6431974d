#!/usr/bin/env bash
# Runs a command on Qt's Wayland platform in a headless Weston of its own, as
# xvfb-run does for X11. Weston runs with --debug, which lets weston-debug and
# weston-screenshooter see what it shows.
#   scripts/with-weston.sh [-s SCALE] COMMAND...
set -euo pipefail
scale=1
[ "${1:-}" != -s ] || { scale="$2"; shift 2; }
runtime="$(mktemp -d)"
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --use-pixman --width=1280 \
    --height=1024 --scale="$scale" --socket=wayland-1 --idle-time=0 --no-config --debug \
    >"$runtime/weston.log" 2>&1 &
weston=$!
trap 'kill $weston 2>/dev/null; wait $weston 2>/dev/null; rm -rf "$runtime"' EXIT
timeout 10 bash -c "until [ -S '$runtime/wayland-1' ]; do sleep 0.1; done" ||
    { cat "$runtime/weston.log" >&2; exit 1; }
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 QT_QPA_PLATFORM=wayland
unset DISPLAY
"$@"
