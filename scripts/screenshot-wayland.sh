#!/usr/bin/env bash
# Starts a program on Qt's Wayland platform inside a headless Weston of its
# own and saves what the compositor shows as a PNG, to see the program the way
# a Wayland session draws it (client-side title bar included).
#
# usage: scripts/screenshot-wayland.sh [-o FILE.png] [-c COMMAND] [-x SCALE]
#   -o FILE     where the PNG goes (default: screenshot-wayland.png)
#   -c COMMAND  the program and its arguments (default: build/src/Zoredev); a
#               relative path is looked up here first, then in the repository
#   -x SCALE    the output's scale factor, 2 for a high-density screen (default: 1)
#
# Weston's headless output takes no keyboard or mouse, so this shows the
# window as it opens. The program runs in a fresh temporary directory and
# finds no Basic.LOG of yours.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"

output=screenshot-wayland.png
command_line="build/src/Zoredev"
scale=1
while getopts "o:c:x:h" option; do
    case "$option" in
    o) output="$OPTARG" ;;
    c) command_line="$OPTARG" ;;
    x) scale="$OPTARG" ;;
    *)
        sed -n '6,10s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
        exit 2
        ;;
    esac
done

# shellcheck source=packaging/apt-packages.sh
. "$repo/packaging/apt-packages.sh"
# shellcheck source=scripts/screenshot-common.sh
. "$here/screenshot-common.sh"
ensure_packages weston qt6-wayland fonts-dejavu-core fonts-liberation

resolve_command_and_output

workdir="$(mktemp -d)"
runtime="$workdir/runtime"
mkdir -m 700 "$runtime" "$workdir/program" "$workdir/shots"
weston_pid=""
app_pid=""
cleanup() {
    local status=$?
    stop "$app_pid"
    stop "$weston_pid"
    rm -rf "$workdir"
    exit "$status"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=screenshot
# The pixman renderer gives the headless output real pixels to copy; --debug
# lets weston-screenshooter and weston-debug in without a desktop's consent.
weston --backend=headless-backend.so --use-pixman --width=1280 --height=800 --scale="$scale" \
    --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config --debug >"$workdir/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
    kill -0 "$weston_pid" 2>/dev/null || { cat "$workdir/weston.log" >&2; exit 1; }
    sleep 0.1
done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { echo "weston made no socket" >&2; exit 1; }

(cd "$workdir/program" && unset DISPLAY && QT_QPA_PLATFORM=wayland exec "${command_words[@]}") \
    >"$workdir/program.log" 2>&1 &
app_pid=$!

# A surface enters the scene graph with its first committed frame, so once the
# window is listed there it has been drawn.
shown=""
for _ in $(seq 30); do
    shown="$(timeout 5 weston-debug scene-graph 2>/dev/null | grep -o "top-level window '[^']*'" | head -n1)" || true
    [ -n "$shown" ] && break
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 1
done
if [ -z "$shown" ]; then
    echo "weston shows no window; the program said:" >&2
    cat "$workdir/program.log" >&2
    exit 1
fi
echo "weston shows: $shown"

(cd "$workdir/shots" && timeout 10 weston-screenshooter)
shots=("$workdir"/shots/*.png)
[ -f "${shots[0]}" ] || { echo "weston-screenshooter saved no picture" >&2; exit 1; }
mv "${shots[0]}" "$output"
echo "saved $output"
