#!/usr/bin/env bash
# Proves the Debian package on this machine: builds it, checks it with lintian,
# installs it with apt, validates the installed desktop entry and metainfo,
# starts the program the way the desktop menu does under X11 and under Wayland,
# then removes the package and checks nothing is left.
# It installs into the running system, so it needs root or sudo.
#
#   packaging/test-deb.sh            build dir: build-deb/ (or $ZOREDEV_DEB_BUILD_DIR)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZOREDEV_DEB_BUILD_DIR:-$root/build-deb}"
app_id=com.example.Zoredev
desktop_file=/usr/share/applications/$app_id.desktop
metainfo_file=/usr/share/metainfo/$app_id.metainfo.xml
expected_files=(
    /usr/bin/Zoredev
    /usr/bin/zoredev-launcher
    /usr/share/doc/zoredev/changelog.gz
    /usr/share/doc/zoredev/copyright
    /usr/share/man/man1/Zoredev.1.gz
    /usr/share/man/man1/zoredev-launcher.1.gz
    "$desktop_file"
    "$metainfo_file"
    "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
)
for size in 16 32 48 64 128 256; do
    expected_files+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
# The window shows up within seconds; these only bound a hang.
window_timeout=30
log_timeout=30

step() { printf '\n== %s\n' "$*"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs inside the X server that xvfb-run started, with HOME set to an empty
# directory: starts the desktop entry's command from HOME, as a menu does.
launch_check() {
    local command window title version pid log_dir icons size
    command="$(sed -n 's/^Exec=//p' "$desktop_file" | sed 's/ %[a-zA-Z]//g')"
    log_dir="$HOME/.local/share/zoredev"
    cd "$HOME"
    echo "Exec: $command (from $PWD)"
    $command >"$HOME/program-output.txt" 2>&1 &
    pid=$!

    # Anchored and visible only: Qt also owns an unmapped helper window named
    # "Qt Selection Owner for Zoredev".
    if ! window="$(timeout "$window_timeout" xdotool search --sync --onlyvisible --name '^Zoredev' |
        head -n 1)"; then
        cat "$HOME/program-output.txt" >&2
        fail "no window named like 'Zoredev' within ${window_timeout}s"
    fi
    title="$(xdotool getwindowname "$window")"
    echo "window $window: \"$title\""
    version="$(dpkg-query -W -f='${Version}' zoredev)"
    [ "$title" = "Zoredev $version" ] || fail "the title is \"$title\", not \"Zoredev $version\""
    icons="$(xprop -id "$window" _NET_WM_ICON)"
    for size in 16 32; do
        grep -q "Icon ($size x $size)" <<<"$icons" || fail "the window has no $size px icon"
    done
    echo "window icon: 16 and 32 px images"

    local waited=0
    until [ -f "$log_dir/Basic.LOG" ]; do
        kill -0 "$pid" 2>/dev/null || fail "the program ended before it wrote Basic.LOG"
        [ "$waited" -lt $((log_timeout * 10)) ] || fail "no $log_dir/Basic.LOG within ${log_timeout}s"
        sleep 0.1
        waited=$((waited + 1))
    done
    echo "Basic.LOG created in $log_dir"
    [ ! -e "$HOME/Basic.LOG" ] || fail "Basic.LOG was written into the home directory"

    kill "$pid"
    wait "$pid" || true
}

# Runs with HOME set to an empty directory: starts a headless Weston of its
# own and the desktop entry's command in it on Qt's Wayland platform, and waits
# until the compositor shows the program's window and the log is there.
wayland_check() {
    local command socket log_dir waited=0
    command="$(sed -n 's/^Exec=//p' "$desktop_file" | sed 's/ %[a-zA-Z]//g')"
    log_dir="$HOME/.local/share/zoredev"
    # Globals, so that the EXIT trap still sees them after a fail.
    runtime="$(mktemp -d)"
    weston_pid=""
    pid=""
    trap 'wayland_cleanup' EXIT
    socket="zoredev-test-$$"
    # --debug lets weston-debug read the scene graph, the only place a headless
    # compositor tells which windows it shows.
    XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket="$socket" \
        --idle-time=0 --no-config --debug >"$HOME/weston-output.txt" 2>&1 &
    weston_pid=$!
    until [ -S "$runtime/$socket" ]; do
        kill -0 "$weston_pid" 2>/dev/null || { cat "$HOME/weston-output.txt" >&2; fail "weston ended at start"; }
        [ "$waited" -lt $((window_timeout * 10)) ] || fail "weston made no socket within ${window_timeout}s"
        sleep 0.1
        waited=$((waited + 1))
    done

    export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland
    unset DISPLAY
    cd "$HOME"
    echo "Exec: $command (from $PWD, QT_QPA_PLATFORM=wayland)"
    $command >"$HOME/program-output.txt" 2>&1 &
    pid=$!

    waited=0
    until timeout 5 weston-debug scene-graph 2>/dev/null | grep -q "top-level window 'Zoredev"; do
        kill -0 "$pid" 2>/dev/null || { cat "$HOME/program-output.txt" >&2; fail "the program ended under Wayland"; }
        [ "$waited" -lt "$window_timeout" ] || fail "weston shows no Zoredev window within ${window_timeout}s"
        sleep 1
        waited=$((waited + 1))
    done
    echo "weston shows: $(timeout 5 weston-debug scene-graph 2>/dev/null | grep -o "top-level window 'Zoredev[^']*'")"

    waited=0
    until [ -f "$log_dir/Basic.LOG" ]; do
        kill -0 "$pid" 2>/dev/null || fail "the program ended before it wrote Basic.LOG"
        [ "$waited" -lt $((log_timeout * 10)) ] || fail "no $log_dir/Basic.LOG within ${log_timeout}s"
        sleep 0.1
        waited=$((waited + 1))
    done
    echo "Basic.LOG created in $log_dir"
    kill -0 "$pid" 2>/dev/null || fail "the program ended after it wrote Basic.LOG"
    if [ -s "$HOME/program-output.txt" ]; then
        echo "the program said:"
        sed 's/^/    /' "$HOME/program-output.txt"
    fi

    kill "$pid"
    wait "$pid" || true
    pid=""
}

wayland_cleanup() {
    local p
    for p in $pid $weston_pid; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    rm -rf "$runtime"
}

case "${1:-}" in
--launch-check)
    launch_check
    exit 0
    ;;
--wayland-check)
    wayland_check
    exit 0
    ;;
esac

# shellcheck source=packaging/apt-packages.sh
source "$root/packaging/apt-packages.sh"
ensure_packages cmake ninja-build g++ qt6-base-dev dpkg-dev file lintian \
    desktop-file-utils appstream xvfb xauth xdotool x11-utils weston

step "Building the package in $build"
# Debian's own hardening flags, as a Debian package build would get them.
buildflag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZOREDEV_BUILD_TESTS=OFF -DZOREDEV_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(buildflag CPPFLAGS) $(buildflag CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(buildflag LDFLAGS)" >/dev/null
cmake --build "$build"
rm -f "$build"/zoredev_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/zoredev_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "expected one zoredev_*.deb in $build"
fi
deb="${debs[0]}"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Package Version Installed-Size Depends
# Both may already be installed here (removing the package leaves them), and
# then the starts below pass without them: so the dependencies are checked by name.
depends="$(dpkg-deb --field "$deb" Depends)"
for needed in qt6-wayland fonts-liberation; do
    grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "the package does not depend on $needed"
done

step "lintian $(basename "$deb")"
# Info tags are shown but do not fail the run.
lintian_status=0
lintian --fail-on error,warning --display-info "$deb" >"$build/lintian.txt" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$build/lintian.txt" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings"
echo "no errors or warnings"

if dpkg-query -W -f='${Status}' zoredev 2>/dev/null | grep -q "install ok installed"; then
    step "Removing the zoredev package installed before this run"
    as_root apt-get remove -y -qq zoredev
fi

tmp_home="$(mktemp -d)"
wayland_home="$(mktemp -d)"
installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        as_root apt-get remove -y -qq zoredev >/dev/null 2>&1 || true
    fi
    rm -rf "$tmp_home" "$wayland_home"
}
trap cleanup EXIT

step "Installing with apt"
installed=yes
(cd "$build" && as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$(basename "$deb")")
mapfile -t package_files < <(dpkg-query -L zoredev | while read -r f; do [ -d "$f" ] || echo "$f"; done)
for f in "${expected_files[@]}"; do
    [ -f "$f" ] || fail "$f is not installed"
done
[ "${#package_files[@]}" -eq "${#expected_files[@]}" ] ||
    fail "the package holds ${#package_files[@]} files, expected ${#expected_files[@]}: ${package_files[*]}"
echo "${#package_files[@]} files installed"

step "desktop-file-validate $desktop_file"
desktop-file-validate "$desktop_file"
echo "valid"

step "appstreamcli validate --no-net $metainfo_file"
appstreamcli validate --no-net "$metainfo_file"

step "Starting the desktop entry's command under Xvfb"
env -u XDG_DATA_HOME HOME="$tmp_home" \
    xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24 -noreset" \
    "$root/packaging/test-deb.sh" --launch-check

step "Starting the desktop entry's command under a headless Weston"
env -u XDG_DATA_HOME HOME="$wayland_home" "$root/packaging/test-deb.sh" --wayland-check

step "Removing with apt"
as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y zoredev
installed=no
if dpkg-query -W -f='${Status}' zoredev 2>/dev/null | grep -q "install ok installed"; then
    fail "zoredev is still installed"
fi
for f in "${package_files[@]}"; do
    [ ! -e "$f" ] || fail "$f is left after removal"
done
echo "all ${#package_files[@]} files are gone"

step "PASS: $(basename "$deb") ($(stat -c %s "$deb") bytes) installs, starts and removes cleanly"
