#!/usr/bin/env bash
# Saves a picture of Zoredev as it opens, or after the keys given, started in an
# empty temporary directory: under X11 in xvfb-run, or under Wayland in a
# headless Weston, which takes no keys. ./dev.sh screenshot installs what it needs.
#   scripts/screenshot.sh [-o FILE.png] [-c PROGRAM] [-w] [-x SCALE] [-d] [-W WINDOW] [KEYS...]
#     -o FILE     where the PNG goes (default: screenshot.png)
#     -c PROGRAM  the program to start (default: build/src/Zoredev)
#     -w          Wayland instead of X11
#     -x SCALE    2 for a high-density screen
#     -d          a dark desktop palette: qt6ct with its "darker" colour scheme
#     -W WINDOW   regular expression for the name of a window the keys open
#     KEYS        xdotool key sequences, sent in turn: alt+h "Down Down" Return
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
output="$PWD/screenshot.png"
program="$root/build/src/Zoredev"
wayland="" scale=1 dark="" last=""
args=("$@")
while getopts "o:c:wx:dW:" option; do
    case "$option" in
    o) output="$(realpath -m "$OPTARG")" ;;
    c) program="$(realpath "$OPTARG")" ;;
    w) wayland=yes ;;
    x) scale="$OPTARG" ;;
    d) dark=yes ;;
    W) last="$OPTARG" ;;
    *) sed -n '5,12s/^# \{0,1\}//p' "$0" >&2 && exit 2 ;;
    esac
done
shift $((OPTIND - 1))

# The script runs again inside the display server it starts.
if [ -z "${ZOREDEV_SCREENSHOT_SERVER:-}" ]; then
    export ZOREDEV_SCREENSHOT_SERVER=yes
    [ -z "$wayland" ] || exec "$root/scripts/with-weston.sh" -s "$scale" "$0" "${args[@]}"
    QT_SCALE_FACTOR="$scale" exec xvfb-run -a -s "-screen 0 1920x1200x24" "$0" "${args[@]}"
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/program"
if [ -n "$dark" ]; then
    # Without custom_palette qt6ct keeps the style's own palette.
    mkdir -p "$work/config/qt6ct"
    printf '[Appearance]\ncolor_scheme_path=%s\ncustom_palette=true\n' \
        /usr/share/qt6ct/colors/darker.conf >"$work/config/qt6ct/qt6ct.conf"
    export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORMTHEME=qt6ct
fi
(cd "$work/program" && exec "$program") >"$work/out" 2>&1 &
trap 'kill $! 2>/dev/null; rm -rf "$work"' EXIT

if [ -n "$wayland" ]; then
    # A surface enters the scene graph with its first frame.
    timeout 30 bash -c 'until weston-debug scene-graph 2>/dev/null | grep -q "top-level window"; do sleep 0.2; done' ||
        { cat "$work/out" >&2; exit 1; }
    sleep 1 # a frame drawn at the output's scale
    (cd "$work" && timeout 10 weston-screenshooter && mv ./*.png "$output")
else
    window="$(timeout 30 xdotool search --sync --onlyvisible --name '^Zoredev' | head -n1)" ||
        { cat "$work/out" >&2; exit 1; }
    # With no window manager nobody hands out the focus, so the window gets it here.
    xdotool windowfocus --sync "$window"
    # shellcheck disable=SC2086 # one argument may hold several keys
    for keys in "$@"; do xdotool key --clearmodifiers --delay 150 $keys; done
    [ -z "$last" ] || timeout 30 xdotool search --sync --onlyvisible --name "$last" >/dev/null
    sleep 1 # the last window's first frame
    import -window root "$output"
    convert "$output" -trim +repage "$output"
fi
echo "saved $output"
