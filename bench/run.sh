#!/usr/bin/env bash
# Builds Zoredev and its benchmarks as the package is built (RelWithDebInfo) and
# prints start-up, memory, size and figure-update times against a bare Qt window.
#
#   bench/run.sh [runs]          runs per program and platform, 21 unless given
#   bench/run.sh --instructions  instructions each program runs up to its first
#                                frame, counted by callgrind: slow, but the same
#                                on every run however busy the machine is
#
# Needs what ./dev.sh test installs (Xvfb among it), and valgrind for the counts.
# Builds in build-bench unless ZOREDEV_BENCH_BUILD names another directory.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${ZOREDEV_BENCH_BUILD:-$root/build-bench}"
mode=times
runs=21
case "${1:-}" in
--instructions) mode=instructions ;;
"") ;;
*) runs="$1" ;;
esac

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target Zoredev zoredev_baseline zoredev_startup_probe \
    zoredev_baseline_probe zoredev_startup_bench zoredev_keystroke_bench >/dev/null
bin="$build/bench"

work="$(mktemp -d)"
xvfb=""
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Both programs start in a directory holding a log, as a user's does.
printf '4\r\n1\r\n22\r\n37\r\n19\r\n250\r\n' >"$work/Basic.LOG"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# -noreset: a server resetting after each program refuses the next one meanwhile.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
xdisplay=":$(cat "$work/display")"

startup() { # platform mode program baseline
    (cd "$work" && DISPLAY="$xdisplay" QT_QPA_PLATFORM="$1" \
        "$bin/zoredev_startup_bench" "$runs" "$2" "$3" "$4")
}

instructions() { # platform
    local counts=()
    for probe in zoredev_startup_probe zoredev_baseline_probe; do
        (cd "$work" && DISPLAY="$xdisplay" QT_QPA_PLATFORM="$1" valgrind --tool=callgrind \
            --dump-before='FirstPaintReporter::report*' --callgrind-out-file="$work/$probe.cg" \
            "$bin/$probe" >/dev/null 2>&1)
        counts+=("$(awk '/^totals:/ { print $2 }' "$work/$probe.cg.1")")
    done
    awk -v platform="$1" -v z="${counts[0]}" -v b="${counts[1]}" 'BEGIN {
        printf "  %-9s Zoredev %11d  baseline %11d  ratio %.3f\n", platform, z, b, z / b }'
}

if [ "$mode" = instructions ]; then
    echo "Instructions from exec to the end of the first frame (callgrind)"
    instructions xcb
    instructions offscreen
    exit 0
fi

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores;" \
    "$(uname -sr); Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?')"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "Start-up and peak resident memory under Xvfb (xcb)"
startup xcb paint "$bin/zoredev_startup_probe" "$bin/zoredev_baseline_probe"
startup xcb map "$build/src/Zoredev" "$bin/zoredev_baseline"
echo
echo "Start-up and peak resident memory, offscreen platform"
startup offscreen paint "$bin/zoredev_startup_probe" "$bin/zoredev_baseline_probe"
echo
QT_QPA_PLATFORM=offscreen "$bin/zoredev_keystroke_bench" 2>"$work/keystroke.err" ||
    { cat "$work/keystroke.err" >&2; exit 1; }
echo
strip -o "$work/Zoredev" "$build/src/Zoredev"
strip -o "$work/zoredev_baseline" "$bin/zoredev_baseline"
echo "Stripped executables: Zoredev $(stat -c %s "$work/Zoredev") bytes," \
    "baseline $(stat -c %s "$work/zoredev_baseline") bytes"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
