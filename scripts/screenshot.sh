#!/usr/bin/env bash
# Starts a program on a private virtual X display, optionally types keys into
# it, and saves the whole screen as a PNG.
#
# usage: scripts/screenshot.sh [-o FILE.png] [-c COMMAND] [-s WxH] [-w WINDOW] [-W WINDOW] [KEYS...]
#   -o FILE     where the PNG goes (default: screenshot.png)
#   -c COMMAND  the program and its arguments (default: build/src/Zoredev); a
#               relative path is looked up here first, then in the repository
#   -s WxH      size of the virtual screen (default: 1920x1200, room for the
#               main window at QT_SCALE_FACTOR=2)
#   -w WINDOW   regular expression for the name of the window to wait for
#               before typing (default: Zoredev)
#   -W WINDOW   regular expression for the name of a window the keys open, to
#               wait for before the picture is taken (e.g. '^Zoredev$')
#   KEYS        xdotool key sequences, sent in order: alt+h Down Return
#
# The environment reaches the program, so QT_SCALE_FACTOR=2 or
# QT_QPA_PLATFORMTHEME set for this script apply to the picture.
#
# The program runs in a fresh temporary directory, so it finds no Basic.LOG of
# yours and leaves none behind. Installs Xvfb, xdotool and ImageMagick first
# when they are missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"

output=screenshot.png
command_line="build/src/Zoredev"
first_window="Zoredev"
last_window=""
screen_size=1920x1200
while getopts "o:c:s:w:W:h" option; do
    case "$option" in
    o) output="$OPTARG" ;;
    c) command_line="$OPTARG" ;;
    s) screen_size="$OPTARG" ;;
    w) first_window="$OPTARG" ;;
    W) last_window="$OPTARG" ;;
    *)
        sed -n '4,18s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))
keys=("$@")

# shellcheck source=packaging/apt-packages.sh
. "$repo/packaging/apt-packages.sh"
# shellcheck source=scripts/screenshot-common.sh
. "$here/screenshot-common.sh"
ensure_packages xvfb xdotool imagemagick fonts-dejavu-core fonts-liberation

resolve_command_and_output

workdir="$(mktemp -d)"
display_file="$workdir/.display"
xvfb_pid=""
app_pid=""
cleanup() {
    local status=$?
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -rf "$workdir"
    exit "$status"
}
trap cleanup EXIT

# Xvfb picks a free display number of its own and writes it once it accepts
# clients, so two screenshots can run side by side.
Xvfb -displayfd 3 -screen 0 "${screen_size}x24" -nolisten tcp -noreset 3>"$display_file" 2>"$workdir/.xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$workdir/.xvfb.log" >&2; exit 1; }
    sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$display_file")"
export DISPLAY

(cd "$workdir" && exec "${command_words[@]}") >"$workdir/.program.log" 2>&1 &
app_pid=$!

wait_for() { # name regex; prints the window id
    local id="" tries
    for tries in $(seq 30); do
        id="$(timeout 1 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1)" || true
        [ -n "$id" ] && break
        kill -0 "$app_pid" 2>/dev/null || break # the program has ended: no use waiting
    done
    if [ -z "$id" ]; then
        echo "no window named '$1' appeared within ${tries}s; the program said:" >&2
        cat "$workdir/.program.log" >&2
        exit 1
    fi
    echo "$id"
}

# With no window manager nobody hands out the keyboard focus, so the window
# gets it from us before it is typed into.
window="$(wait_for "$first_window")"
sleep 0.5
if [ "${#keys[@]}" -gt 0 ]; then
    xdotool windowfocus --sync "$window"
    for key in "${keys[@]}"; do
        # shellcheck disable=SC2086 # one argument may hold several keys
        xdotool key --clearmodifiers --delay 150 $key
        sleep 0.2
    done
fi
if [ -n "$last_window" ]; then
    wait_for "$last_window" >/dev/null
fi
# Let the last window paint before the picture is taken.
sleep 1
import -window root "$output"
# The empty screen around the windows says nothing: keep only what is on it.
convert "$output" -trim +repage "$output"
echo "saved $output"
