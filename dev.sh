#!/usr/bin/env bash
# Builds Zoredev and starts it (./dev.sh run) or runs every test (./dev.sh test),
# installing first what a fresh Debian 12 or 13 machine lacks, and only that.
# ./dev.sh fuzz SECONDS runs the fuzz target longer, ./dev.sh bench [RUNS] the
# benchmarks (bench/run.sh), ./dev.sh screenshot scripts/screenshot.sh, and
# ./dev.sh icons redraws the icon's PNGs from its SVG, and ./dev.sh windows makes the
# Windows zip and installer in dist/ (scripts/windows.sh).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cmd="${1:-}"

run_packages=(cmake ninja-build g++ qt6-base-dev fonts-dejavu-core fonts-liberation)
test_packages=(xvfb xauth xdotool x11-utils locales clang libclang-rt-dev)
wayland_packages=(weston qt6-wayland)
windows_packages=(g++-mingw-w64-x86-64-posix dpkg-dev wine wine64 xvfb xauth xdotool x11-utils nsis zip)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the given Debian packages that are missing, and only those.
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# The number rules are tested under a locale with a decimal comma.
ensure_test_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
}

# The presets (CMakePresets.json) are read from the working directory, so these
# run in the source tree; the program itself starts where the user is.
build() { # preset [CMAKE OPTIONS]
    # Configured every time, which takes a moment: a build first made by
    # ./dev.sh run then finds the tools ./dev.sh test installed, and keeps the
    # end-to-end test.
    (cd "$here" && cmake --preset "$1" "${@:2}" >/dev/null &&
        cmake --build --preset "$1" --parallel "$(nproc)")
}

# The asan preset carries the sanitizers' options, so any report fails the run.
run_tests() { # preset
    (cd "$here" && ctest --preset "$1" --parallel "$(nproc)")
}

# Builds the fuzz target with clang in build-fuzz/ and runs it; what a run learns
# stays in build-fuzz/corpus for the next one, and an input that breaks something is
# left in build-fuzz/artifacts/.
fuzz() { # seconds
    local build="$here/build-fuzz"
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_COMPILER=clang++ -DZOREDEV_BUILD_FUZZ=ON -DZOREDEV_BUILD_TESTS=OFF \
            -DZOREDEV_BUILD_BENCH=OFF >/dev/null
    fi
    cmake --build "$build" --target fuzz_rules
    mkdir -p "$build/corpus" "$build/artifacts"
    "$build/fuzz/fuzz_rules" -max_total_time="$1" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/" "$build/corpus" "$here/fuzz/corpus/fuzz_rules" \
        >"$build/artifacts/run.log" 2>&1 || { tail -30 "$build/artifacts/run.log" >&2; exit 1; }
    grep -m1 number_of_executed_units "$build/artifacts/run.log"
}

case "$cmd" in
run)
    ensure_packages "${run_packages[@]}"
    build default
    exec "$here/build/src/Zoredev"
    ;;
test)
    ensure_packages "${run_packages[@]}" "${test_packages[@]}"
    ensure_test_locale
    # Everything is installed now, so a check that would be skipped fails instead.
    build default -DZOREDEV_REQUIRE_ALL_TESTS=ON
    run_tests default
    # The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
    # each fuzz target for a few seconds.
    build asan -DZOREDEV_REQUIRE_ALL_TESTS=ON
    run_tests asan
    fuzz 5
    ;;
fuzz)
    ensure_packages "${run_packages[@]}" clang libclang-rt-dev
    fuzz "${2:-60}"
    ;;
bench)
    ensure_packages "${run_packages[@]}" "${test_packages[@]}" "${wayland_packages[@]}" valgrind
    exec "$here/bench/run.sh" "${@:2}"
    ;;
screenshot)
    ensure_packages "${run_packages[@]}" "${test_packages[@]}" "${wayland_packages[@]}" imagemagick qt6ct
    build default
    exec "$here/scripts/screenshot.sh" "${@:2}"
    ;;
windows)
    ensure_packages "${run_packages[@]}" "${windows_packages[@]}"
    exec "$here/scripts/windows.sh"
    ;;
icons)
    # The PNGs are committed, so only a change of the picture needs this.
    ensure_packages librsvg2-bin icoutils
    while read -r size; do
        rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
            --output "$here/data/icons/zoredev-$size.png" "$here/data/icons/zoredev.svg"
    done <"$here/data/icons/sizes"
    # The Windows executable's icon holds the same PNGs.
    icotool --create --output "$here/data/icons/zoredev.ico" \
        $(sed "s|.*|--raw=$here/data/icons/zoredev-&.png|" "$here/data/icons/sizes")
    ;;
*)
    echo "usage: $0 run|test|fuzz [SECONDS]|bench [RUNS]|screenshot [OPTIONS] [KEYS]|icons|windows" >&2
    exit 2
    ;;
esac
