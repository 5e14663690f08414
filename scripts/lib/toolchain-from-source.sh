# The Windows cross toolchain made here from Debian 12's own source packages, the same way the
# ready archive was made: Qt's qtbase and libjpeg-turbo, cross-built with MinGW-w64 and installed
# into the cache folder where scripts/build-windows looks for it. Sourced after windows.sh.
# shellcheck shell=bash

TOOLCHAIN_SOURCE_PACKAGES=(dpkg-dev nasm cmake ninja-build g++-mingw-w64-x86-64-posix
                           qt6-base-dev qt6-base-dev-tools)

# Only what Glimmerbox and its tests use (Core, Gui, Widgets, PrintSupport, Test) with the Windows
# platform plugin and styles. Debian's source leaves out the third-party tablet headers, hence no
# tablet events; the bundled zlib, libpng, libjpeg, PCRE, HarfBuzz and FreeType need no MinGW
# builds of their own.
QT_CONFIGURE_OPTIONS=(-release -shared -xplatform win32-g++ -qt-host-path /usr
                      -nomake examples -nomake tests -no-opengl -no-dbus -no-icu
                      -no-feature-sql -no-feature-network -no-feature-concurrent
                      -no-feature-vulkan -no-feature-tabletevent
                      -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype)

explain_toolchain_from_source() {
    cat <<EOT
The Windows cross toolchain (Qt 6.4.2 and libjpeg-turbo 2.1.5 built with MinGW-w64) is missing:
  $TOOLCHAIN_ARCHIVE
Point GLIMMERBOX_TOOLCHAIN_ARCHIVE at a copy of $TOOLCHAIN_NAME.tar.xz, or make the same
toolchain from Debian 12's source packages. That is a long step: about 35 minutes on two cores
and 1.5 GB of disk, once; later builds use the result from
  $TOOLCHAIN_DIR
  scripts/build-windows --toolchain-from-source
does it (as root, for the packages and the deb-src line). By hand, the steps are:
  1. a deb-src line for bookworm, apt-get update, and
     apt-get source qt6-base=<the version of qt6-base-dev-tools> libjpeg-turbo
  2. qtbase: configure -prefix DIR/mingw64 ${QT_CONFIGURE_OPTIONS[*]}
       -- -G Ninja -DCMAKE_TOOLCHAIN_FILE=DIR/mingw64/toolchain.cmake
       -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
     with cmake/mingw64-toolchain.cmake copied to DIR/mingw64/toolchain.cmake; build, install
  3. libjpeg-turbo: cmake with the same toolchain file, -DCMAKE_ASM_NASM_COMPILER=nasm
     -DCMAKE_INSTALL_PREFIX=DIR/mingw64; build, install
EOT
}

# ensure_deb_src: apt can fetch Debian's source packages. The source lines copy the machine's own
# package lines (mirror, suites, signing key): apt refuses two entries for one mirror that name
# different keys.
ensure_deb_src() {
    [[ -n $(apt-cache showsrc qt6-base 2>/dev/null) ]] && return 0
    local system=/etc/apt/sources.list.d/debian.sources
    if [[ -f $system ]]; then
        local list=/etc/apt/sources.list.d/glimmerbox-deb-src.sources
        echo "Adding $list for Debian's source packages"
        sed 's/^Types: deb$/Types: deb-src/' "$system" >"$list"
    else
        local list=/etc/apt/sources.list.d/glimmerbox-deb-src.list
        echo "Adding $list for Debian's source packages"
        sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >"$list"
    fi
    apt-get -o DPkg::Lock::Timeout=900 update -qq
}

# build_libjpeg_turbo SOURCE BUILD PREFIX: libjpeg-turbo with its SIMD code, cross-built with the
# toolchain file in PREFIX and installed there (about a minute).
build_libjpeg_turbo() {
    local source=$1 build=$2 prefix=$3
    echo "Building libjpeg-turbo"
    cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain.cmake" -DCMAKE_ASM_NASM_COMPILER=nasm \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_STATIC=OFF >"$build.configure.log"
    cmake --build "$build"
    cmake --install "$build" --strip >/dev/null
}

# toolchain_from_source: builds and installs the toolchain into TOOLCHAIN_DIR.
toolchain_from_source() {
    if [[ $(id -u) -ne 0 ]]; then
        echo "Making the toolchain needs root (packages and a deb-src line)." >&2
        return 1
    fi
    echo "== Making the Windows toolchain from Debian's source packages =="
    echo "   This is a long step: about 35 minutes on two cores."
    ensure_packages "${TOOLCHAIN_SOURCE_PACKAGES[@]}"
    ensure_deb_src
    local work="$TOOLCHAIN_CACHE/source-build"
    local partial="$TOOLCHAIN_DIR.partial"
    local prefix="$partial/mingw64"
    rm -rf "$work" "$partial"
    mkdir -p "$work" "$prefix"
    cp "$ROOT/cmake/mingw64-toolchain.cmake" "$prefix/toolchain.cmake"

    # moc, rcc and uic come from the build machine: the Qt sources must be their very version.
    local qt_version
    qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
    (cd "$work" && apt-get source -qq "qt6-base=$qt_version" libjpeg-turbo)
    local qt_src jpeg_src
    qt_src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    jpeg_src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
    [[ -d "$qt_src" && -d "$jpeg_src" ]] || { echo "apt-get source gave no sources" >&2; return 1; }

    echo "Building qtbase (the long part)"
    mkdir -p "$work/qtbase-build"
    (cd "$work/qtbase-build" &&
        "$qt_src/configure" -prefix "$prefix" "${QT_CONFIGURE_OPTIONS[@]}" -- -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain.cmake" \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$work/qtbase-configure.log")
    cmake --build "$work/qtbase-build"
    cmake --install "$work/qtbase-build" --strip >/dev/null

    build_libjpeg_turbo "$jpeg_src" "$work/jpeg-build" "$prefix"

    # Only a complete toolchain takes the final name; the 1.3 GB of build folders go.
    rm -rf "$TOOLCHAIN_DIR"
    mv "$partial" "$TOOLCHAIN_DIR"
    rm -rf "$work"
    echo "Toolchain ready in $TOOLCHAIN_DIR"
}
