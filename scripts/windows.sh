#!/usr/bin/env bash
# Builds Zoredev for Windows on Debian, runs its suite under Wine and writes the
# zip and the installer to dist/ (./dev.sh windows installs the packages first).
# Qt for Windows is built once from this release's own qt6-base source, so that it
# matches the host tools, into ZOREDEV_CACHE (${XDG_CACHE_HOME:-~/.cache}/zoredev).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${ZOREDEV_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zoredev}"
version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
qt="$cache/qt-${version%-*}-mingw"
triplet=x86_64-w64-mingw32

# Qt's source, fetched through an apt configuration of the script's own: deb-src
# entries made from the machine's "deb" entries, with their lists kept in the cache,
# so that /etc/apt and the machine's package lists stay as they were.
fetch_qt_source() {
    local apt="$cache/apt" options
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
    "$root/scripts/apt-sources.sh" | sed 's/^deb /deb-src /' >"$apt/sources.list"
    options=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User="$(id -un)")
    apt-get "${options[@]}" update -qq
    apt-get "${options[@]}" source -qq "qt6-base=$version" 2>/dev/null ||
        apt-get "${options[@]}" source -qq qt6-base
}

build_qt() {
    [ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ] && return
    local work="$cache/qt-build" start=$SECONDS
    rm -rf "$work" && mkdir -p "$work" && cd "$work"
    fetch_qt_source
    # Qt's own toolchain file chains to this one, so the project finds the same compilers.
    mkdir -p "$qt"
    cat >"$qt/mingw.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF
    # Only what the program and its tests use. The 6.4 Windows platform plugin needs
    # desktop OpenGL; Debian's source leaves out wintab.h, which tablet events need.
    local off=(network sql xml concurrent dbus printsupport vulkan jpeg icu zstd
        glib system_zlib system_pcre2 system_png system_freetype system_harfbuzz
        system_doubleconversion system_libb2 tabletevent)
    cmake -S qt6-base-*/ -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$qt/mingw.cmake" -DCMAKE_INSTALL_PREFIX="$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
        -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_opengl_desktop=ON -DFEATURE_testlib=ON $(printf -- '-DFEATURE_%s=OFF ' "${off[@]}")
    nice -n 10 cmake --build build --parallel "$(nproc)"
    cmake --install build >/dev/null
    mkdir -p "$qt/licenses" && cp -r qt6-base-*/LICENSE* qt6-base-*/debian/copyright "$qt/licenses/"
    cd "$cache" && rm -rf "$work"
    echo "Qt for Windows built in $(((SECONDS - start) / 60)) min: $(du -sh "$qt" | cut -f1)"
}

# The program and its suite, linked static: Zoredev.exe needs nothing installed.
# Built the same from any folder at any time: no link time stamp in the PE header,
# no source folder in the code, and rcc dates its files by SOURCE_DATE_EPOCH.
build_zoredev() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$root/=" \
        -DCMAKE_EXE_LINKER_FLAGS="-static -s -Wl,--no-insert-timestamp" \
        -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
    nice -n 10 cmake --build "$build" --parallel "$(nproc)"
}

# Wine in an X server of its own (its desktop starts with its server), with a prefix
# kept beside Qt. Wine passes no QT_ variable on, so Qt Test is told in Wine's own
# environment to write to stdout. There is no window manager, so Wine would wait 2 s
# for one at each window it hides; the window test's windows are left unmanaged.
in_wine() {
    export WINEPREFIX="$cache/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineserver -k 2>/dev/null || true
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c 'wineboot -u &&
        wine reg add "HKCU\Environment" /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null &&
        wine reg add "HKCU\Software\Wine\AppDefaults\tst_MainWindow.exe\X11 Driver" /v Managed /d N /f >/dev/null &&
        "$@"; r=$?; wineserver -k; exit $r' _ "$@"
}

package() {
    local version stage="$build/stage" dist="$root/dist"
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
    rm -rf "$stage" && mkdir -p "$stage/Zoredev-$version/licenses/Qt" "$dist"
    cd "$stage/Zoredev-$version"
    cp "$build/src/Zoredev.exe" .
    # Notepad before Windows 10 shows a text only with CR LF line ends.
    sed 's/$/\r/' "$root/docs/README-Windows.txt" >README.txt
    sed 's/$/\r/' /usr/share/common-licenses/GPL-3 >licenses/COPYING.txt
    find "$qt/licenses" -type f -exec sh -c 'sed "s/\$/\r/" "$1" >"licenses/Qt/$(basename "$1" .txt).txt"' _ {} \;
    cat /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright \
        /usr/share/doc/mingw-w64-x86-64-dev/copyright | sed 's/$/\r/' >licenses/MinGW-w64.txt
    # Each file dated by the last commit and listed in one order, so that the zip
    # and the installer come out byte for byte the same from the same commit.
    cd "$stage" && rm -f "$dist/Zoredev-$version-windows-x86_64.zip"
    find "Zoredev-$version" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    find "Zoredev-$version" | LC_ALL=C sort | TZ=UTC zip -qX -@ "$dist/Zoredev-$version-windows-x86_64.zip"
    makensis -V2 -DVERSION="$version" -DFILES="$stage/Zoredev-$version" -DICON="$root/data/icons/zoredev.ico" \
        -DOUTFILE="$dist/Zoredev-$version-setup.exe" "$root/packaging/windows/Zoredev.nsi"
    ls -l "$dist"
}

build="$root/build-windows"
SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct)"
export SOURCE_DATE_EPOCH
build_qt
build_zoredev
in_wine ctest --test-dir "$build" --output-on-failure
package
