#!/usr/bin/env bash
# Start-up and peak memory of Zoredev against a bare Qt window under X11
# (xvfb-run), Wayland (a headless Weston) and offscreen, then keystroke to
# figures. What each number means: bench/README.md.
#   bench/run.sh [RUNS]          RUNS of each program per platform, 21 unless given
#   bench/run.sh --instructions  instructions up to the first frame (callgrind)
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME with a decimal point
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$root/build-bench/bench"
probes=(zoredev_probe zoredev_baseline_probe)

# Inside the display server: one line per run, "probe exposed_us painted_us peak_kb",
# the two probes alternating which goes first, after two rounds of warming up.
if [ "${1:-}" = --runs ]; then
    cd "$3"
    for ((round = 0; round < $2 + 2; round++)); do
        for k in 0 1; do
            probe="${probes[(round + k) % 2]}"
            start="${EPOCHREALTIME/./}"
            read -r exposed painted peak < <("$bin/$probe" 2>/dev/null)
            ((round < 2)) || echo "$probe $((exposed - start)) $((painted - start)) $peak"
        done
    done
    exit
fi

cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZOREDEV_BUILD_TESTS=OFF -DZOREDEV_BUILD_BENCH=ON >/dev/null
cmake --build "$root/build-bench" >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Both programs start in a directory holding a log, as a user's does.
cp "$root/bench/sample.LOG" "$work/Basic.LOG"

if [ "${1:-}" = --instructions ]; then
    for probe in "${probes[@]}"; do
        (cd "$work" && xvfb-run -a valgrind --tool=callgrind --callgrind-out-file="$work/$probe.cg" \
            --dump-before='FirstFrame::framePainted*' "$bin/$probe" >/dev/null 2>&1)
        echo "$probe: $(awk '/^totals:/ { print $2 }' "$work/$probe.cg.1") instructions to the first frame (X11)"
    done
    exit
fi

runs="${1:-21}"
median() { # column probe
    awk -v c="$1" -v p="$2" '$1 == p { print $c }' "$work/runs" | sort -n |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
echo "$(nproc) cores, $(uname -sr), Qt $(qtpaths6 --qt-version), $runs runs; medians"
printf '%-10s %-22s %10s %10s %7s\n' platform "" Zoredev baseline ratio
for platform in xcb wayland offscreen; do
    case $platform in
    xcb) xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --runs "$runs" "$work" >"$work/runs" ;;
    wayland) "$root/scripts/with-weston.sh" "$0" --runs "$runs" "$work" >"$work/runs" ;;
    offscreen) QT_QPA_PLATFORM=offscreen "$0" --runs "$runs" "$work" >"$work/runs" ;;
    esac
    for column in "2 1000 window exposed, ms" "3 1000 first frame, ms" "4 1024 peak RSS, MiB"; do
        read -r c scale what <<<"$column"
        awk -v p="$platform" -v what="$what" -v s="$scale" -v z="$(median "$c" zoredev_probe)" \
            -v b="$(median "$c" zoredev_baseline_probe)" 'BEGIN {
            printf "%-10s %-22s %10.1f %10.1f %7.3f\n", p, what, z / s, b / s, z / b }'
    done
done
echo
QT_QPA_PLATFORM=offscreen "$bin/zoredev_keystroke_bench" -median 21 >"$work/keys" 2>&1 ||
    { cat "$work/keys" >&2; exit 1; }
awk '/^RESULT/ { sub(/KeystrokeBench::/, ""); name = $3 " " $4 }
    /per iteration/ { printf "%-40s %8.1f us, median of 21\n", name, $1 * 1000 }' "$work/keys"
strip -o "$work/z" "$bin/zoredev_probe"
strip -o "$work/b" "$bin/zoredev_baseline_probe"
echo "stripped probes: Zoredev $(stat -c %s "$work/z") bytes, baseline $(stat -c %s "$work/b") bytes"
