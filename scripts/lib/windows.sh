# The Windows build: the MinGW-w64 cross toolchain with Qt and libjpeg-turbo, and Wine to run
# what it builds. Sourced after common.sh.
# shellcheck shell=bash
# The package lists are read by the scripts that source this file.
# shellcheck disable=SC2034

# Qt's code generators (moc, rcc, uic) run on the build machine and must be the very Qt version
# the toolchain's Qt is: Debian 12's 6.4.2.
# nsis makes the installer; osslsigncode signs it when a certificate is given.
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev-tools nsis
                        osslsigncode)
# wine64 runs the 64-bit programs; wine brings the wineserver, wineboot and reg tools around it.
WINE_PACKAGES=(wine64 wine)

TOOLCHAIN_NAME=mingw64-qt6.4.2-jpegturbo2.1.5
# The archive sits in the shared folder beside the project; a clone elsewhere looks beside the
# repository it was cloned from. GLIMMERBOX_TOOLCHAIN_ARCHIVE names any other copy.
find_toolchain_archive() {
    local origin candidate
    origin=$(git -C "$ROOT" config --get remote.origin.url 2>/dev/null || true)
    for candidate in "$ROOT/../shared" "${origin:+$origin/../shared}"; do
        [[ -n "$candidate" && -f "$candidate/toolchains/$TOOLCHAIN_NAME.tar.xz" ]] || continue
        echo "$candidate/toolchains/$TOOLCHAIN_NAME.tar.xz"
        return 0
    done
    echo "$ROOT/../shared/toolchains/$TOOLCHAIN_NAME.tar.xz"
}
TOOLCHAIN_ARCHIVE=${GLIMMERBOX_TOOLCHAIN_ARCHIVE:-$(find_toolchain_archive)}
# Unpacked once and kept between runs (the folder is ignored by git).
TOOLCHAIN_CACHE=${GLIMMERBOX_CACHE:-$ROOT/.cache}/toolchains
TOOLCHAIN_DIR=$TOOLCHAIN_CACHE/$TOOLCHAIN_NAME
TOOLCHAIN_FILE=$TOOLCHAIN_DIR/mingw64/toolchain.cmake

# Debian does not put the 64-bit loader on the PATH.
WINE64=/usr/lib/wine/wine64

# toolchain_unpack: the archive's toolchain in the cache folder, unpacked if it is not there yet.
toolchain_unpack() {
    [[ -f "$TOOLCHAIN_FILE" ]] && return 0
    [[ -f "$TOOLCHAIN_ARCHIVE" ]] || return 1
    echo "Unpacking $(basename "$TOOLCHAIN_ARCHIVE") into $TOOLCHAIN_DIR"
    local partial="$TOOLCHAIN_DIR.partial"
    rm -rf "$partial"
    mkdir -p "$partial"
    tar -xJf "$TOOLCHAIN_ARCHIVE" -C "$partial"
    # Only a complete unpack takes the final name, so an interrupted one is never used.
    rm -rf "$TOOLCHAIN_DIR"
    mv "$partial" "$TOOLCHAIN_DIR"
}

# start_wine WORKDIR: a fresh 64-bit Wine prefix of its own, with its wineserver kept running
# (so each program starts in a fraction of a second) until stop_wine. Exports WINEPREFIX and
# the settings every Wine program of the run needs.
start_wine() {
    local work=$1
    export WINEPREFIX="$work/wine"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No prompts to install Wine's .NET and HTML engines: the program needs neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wineserver --foreground --persistent >"$work/wineserver.log" 2>&1 &
    STARTED_PIDS+=($!)
    # Debian's Wine keeps the name of the server's folder in the prefix: a program started before
    # the server has written it makes a folder of its own, where no server will ever listen.
    wait_for 20 "wineserver listening (see $work/wineserver.log)" wineserver_listens || return 1
    echo "Creating the Wine prefix $WINEPREFIX"
    if ! "$WINE64" wineboot --init >"$work/wineboot.log" 2>&1; then
        echo "wineboot failed; see $work/wineboot.log" >&2
        return 1
    fi
    # wineboot returns before the prefix's registry is written out; reg answers only after.
    wait_for 60 "the Wine prefix's registry answering" \
        "$WINE64" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' || return 1
}

# wineserver_listens: the prefix's server has its socket.
wineserver_listens() {
    local folder
    folder=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) && [[ -n $folder ]] &&
        compgen -G "${TMPDIR:-/tmp}/$folder/server-*/socket" >/dev/null
}

# stop_wine: ends every program of the prefix and its wineserver.
stop_wine() {
    if [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]]; then
        wineserver --kill 2>/dev/null || true
    fi
}

# windows_folder: the runnable folder that scripts/build-windows leaves in build-windows/.
windows_folder() {
    local version
    version=$(sed -n 's/^#define GLIMMERBOX_VERSION_STRING "\(.*\)"$/\1/p' \
        "$ROOT/build-windows/src/BuildConfig.h")
    echo "$ROOT/build-windows/glimmerbox-$version-win64"
}

# run_windows_tests WORKDIR: the cross-built unit and Windows tests under wine64, then the Windows
# program itself on the test desktop and spooler, driven from the Linux build's test. Needs the
# desktop and spooler already started, and both builds made. Returns non-zero on any failure.
run_windows_tests() {
    local work=$1 status=0
    start_wine "$work" || return 1
    export GLIMMERBOX_WINE64="$WINE64"
    export GLIMMERBOX_WINDOWS_DIR
    GLIMMERBOX_WINDOWS_DIR=$(windows_folder)
    echo "== Windows unit and platform tests under Wine =="
    (cd "$ROOT/build-windows" && ctest --output-on-failure -L 'unit|windows') || status=1
    # What Wine cannot show is skipped by the tests themselves, each with its reason: say so.
    grep -h '# SKIP' "$ROOT/build-windows/Testing/Temporary/LastTest.log" 2>/dev/null |
        sed 's/^ok [0-9]* - /  skipped under Wine: /' || true
    echo "== glimmerbox.exe under Wine on the test desktop =="
    (cd "$ROOT/build" && ctest --output-on-failure -L wine) || status=1
    stop_wine
    return $status
}

# make_installer FOLDER VERSION SETUP.EXE: the installer of the folder's files. The uninstaller
# removes exactly those, listed here, deepest first. Signed when GLIMMERBOX_SIGN_CERT and
# GLIMMERBOX_SIGN_KEY name a certificate and its key (PEM).
make_installer() {
    local folder=$1 version=$2 setup=$3 list
    list=$(mktemp --suffix=.nsh)
    (cd "$folder" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
        cd "$folder" && find . -mindepth 1 -type d | sort -r |
            sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|') >"$list"
    makensis -V2 -DVERSION="$version" -DSOURCE="$folder" -DFILES="$list" -DOUTFILE="$setup" \
        -DICON="$ROOT/resources/glimmerbox.ico" "$ROOT/resources/windows/installer.nsi"
    rm -f "$list"
    if [[ -n ${GLIMMERBOX_SIGN_CERT:-} && -n ${GLIMMERBOX_SIGN_KEY:-} ]]; then
        osslsigncode sign -certs "$GLIMMERBOX_SIGN_CERT" -key "$GLIMMERBOX_SIGN_KEY" \
            -n Glimmerbox -in "$setup" -out "$setup.signed" && mv "$setup.signed" "$setup"
    fi
}
