# Shared by the scripts: package lists, package installation, build, and the test desktop.
# shellcheck shell=bash
# The package lists are read by the scripts that source this file.
# shellcheck disable=SC2034

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libturbojpeg0-dev
                libjpeg62-turbo-dev fonts-dejavu-core fonts-liberation2 libxcb1-dev libxcb-shm0-dev
                libcups2-dev zlib1g-dev libxcb-randr0-dev dpkg-dev file)
TEST_PACKAGES=(libx11-dev xvfb xauth openbox xdotool wmctrl x11-utils xclip
               cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
               libjpeg-turbo-progs imagemagick
               sway swaybg grim wtype wl-clipboard xwayland pipewire qt6-wayland dbus-daemon
               dbus-bin libglib2.0-bin
               xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
               kwin-wayland xdg-desktop-portal-kde qml-module-qtquick-layouts
               qml-module-qtquick-controls2 qml-module-org-kde-kirigami2
               qml-module-qtgraphicaleffects qml-module-qtquick-window2
               gnome-shell xdg-desktop-portal-gnome
               xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
               cups-ipp-utils qpdf ghostscript at-spi2-core python3-gi gir1.2-atspi-2.0
               lintian desktop-file-utils appstream man-db socat util-linux)
BENCH_PACKAGES=(x11-apps)
CHECK_PACKAGES=(clang-format clang-tidy shellcheck git)

# Installs the Debian packages that are missing. As root it runs apt-get; otherwise it prints
# the one command to run and exits 1.
ensure_packages() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    ((${#missing[@]} == 0)) && return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get -o DPkg::Lock::Timeout=900 update -qq
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
        --no-install-recommends "${missing[@]}" \
        >/dev/null
}

# ensure_plasma_qml DIR: the Plasma dialogs the KDE portal shows its screenshots through, from the
# plasma-workspace package without installing the whole workspace. Exports GLIMMERBOX_PLASMA_QML.
ensure_plasma_qml() {
    local dir=$1
    if [[ ! -d $dir/usr/lib ]]; then
        mkdir -p "$dir"
        (cd "$dir" && apt-get download plasma-workspace >/dev/null &&
            dpkg -x plasma-workspace_*.deb .)
    fi
    GLIMMERBOX_PLASMA_QML=$(echo "$dir"/usr/lib/*/qt5/qml)
    export GLIMMERBOX_PLASMA_QML
}

# nonblank_lines PATH...: non-blank lines in the files git tracks under the paths.
nonblank_lines() {
    (cd "$ROOT" && git ls-files -z -- "$@" | xargs -0 cat | grep -cv '^[[:space:]]*$')
}

# test_share: the tests' size against the code's, which it may be at most 35 % of.
test_share() {
    local tests code
    tests=$(nonblank_lines tests)
    code=$(nonblank_lines src scripts bench cmake resources/generator .ci CMakeLists.txt)
    echo "Size: tests $tests non-blank lines, code $code: $((100 * tests / code)) % (at most 35 %)"
    ((100 * tests <= 35 * code))
}

# long_lines: where a line of the code or the tests runs over 100 columns; none may.
long_lines() {
    (cd "$ROOT" && git ls-files -z -- src scripts bench cmake tests resources/generator .ci \
        CMakeLists.txt | xargs -0 grep -nIE '^.{101}' | cut -d: -f1,2)
}

# configure_and_build DIR [CMAKE ARGS...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@" >/dev/null
    cmake --build "$ROOT/$dir"
}

# What the scripts started (processes) or placed outside their work folder (files), to stop
# and remove afterwards, also on failure or Ctrl+C.
STARTED_PIDS=()
CLEANUP_FILES=()

stop_started() {
    local pid
    for pid in "${STARTED_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${STARTED_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    STARTED_PIDS=()
    if ((${#CLEANUP_FILES[@]})); then
        rm -f "${CLEANUP_FILES[@]}"
    fi
    CLEANUP_FILES=()
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.1 s until it succeeds, for at least
# SECONDS by the clock, which also runs while a busy machine runs COMMAND slowly. After them, or
# once the program that PID names has ended, "WHAT did not happen" goes to the caller's fail (a
# session's ends it), or without one to standard error; and wait_for fails.
wait_for() {
    local end=$((SECONDS + $1)) said t0=$EPOCHREALTIME
    until "${@:3}" >/dev/null 2>&1; do
        if [[ -n ${PID-} ]] && ! kill -0 "$PID" 2>/dev/null; then
            said="$2 did not happen: the program ended"
        elif ((SECONDS <= end)); then
            sleep 0.1 && continue
        else
            said="$2 did not happen within $1 s"
        fi
        if declare -F fail >/dev/null; then fail "$said"; else echo "$said" >&2; fi
        return 1
    done
    [[ -z ${GLIMMERBOX_WAIT_LOG-} ]] ||
        echo "$t0 $EPOCHREALTIME $1 ${0##*/} $2" >>"$GLIMMERBOX_WAIT_LOG"
}

# owned NAME: NAME is taken on the session bus (asked of the bus: a call to a service there could
# start a second, unconfigured copy of it).
owned() {
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.NameHasOwner "$1" | grep -q true
}

# discard FOLDER...: removes a run's work folders; with GLIMMERBOX_KEEP set, keeps them for their
# logs and pages, and says where they are.
discard() {
    if [[ -n ${GLIMMERBOX_KEEP-} ]]; then echo "Kept: $*" >&2; else rm -rf "$@"; fi
}

# start_desktop WIDTHxHEIGHT WORKDIR: Xvfb on a free display number, then openbox. Exports DISPLAY.
start_desktop() {
    local geometry=$1 work=$2
    local fifo="$work/displayfd"
    mkfifo "$fifo"
    # -displayfd lets the server pick a free display number itself and tell us which.
    Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp -noreset 3>"$fifo" \
        >"$work/xvfb.log" 2>&1 &
    STARTED_PIDS+=($!)
    local number
    if ! read -r -t 20 number <"$fifo"; then
        echo "Xvfb did not start; see $work/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$number"
    wait_for 20 "an answer from the X server $DISPLAY (see $work/xvfb.log)" xdpyinfo || return 1
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    STARTED_PIDS+=($!)
    wait_for 20 "openbox managing the screen (see $work/openbox.log)" \
        sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || return 1
    echo "Test desktop: DISPLAY=$DISPLAY ($geometry) with openbox"
}

# start_test_services WORKDIR: what the sessions run on: runtime and home folders of their own,
# the 1024x768 test desktop and the spooler.
start_test_services() {
    mkdir -m 700 "$1/runtime" && mkdir -p "$1/home"
    export XDG_RUNTIME_DIR=$1/runtime HOME=$1/home
    start_desktop 1024x768 "$1"
    start_spooler "$1"
}

# start_spooler WORKDIR: a private cupsd (its own configuration, spool and socket) with a cups-pdf
# queue "GlimmerboxPDF" on A4 paper as the default printer, and "GlimmerboxLetter" on Letter.
# Exports CUPS_SERVER, which points every CUPS client (lpstat, Qt) at it, and
# GLIMMERBOX_TEST_PDF_DIR, where the queues write their PDFs.
start_spooler() {
    local work=$1
    local c="$work/cups"
    mkdir -p "$c"/{root,spool,cache,state,log,tmp,pdf}
    # The filters run as the lp user: it has to reach the spool through these folders.
    chmod 755 "$work" "$c" "$c/root"
    chmod 1777 "$c/tmp"
    chmod 0777 "$c/pdf"
    chgrp lp "$c/spool"
    chmod 0710 "$c/spool"
    cat >"$c/root/cups-files.conf" <<EOF
SystemGroup root
ServerRoot $c/root
RequestRoot $c/spool
TempDir $c/tmp
CacheDir $c/cache
StateDir $c/state
AccessLog $c/log/access_log
ErrorLog $c/log/error_log
PageLog $c/log/page_log
EOF
    cat >"$c/root/cupsd.conf" <<EOF
Listen $c/cups.sock
LogLevel info
WebInterface No
Browsing Off
DefaultAuthType None
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
EOF
    cupsd -f -c "$c/root/cupsd.conf" -s "$c/root/cups-files.conf" >"$c/log/cupsd.out" 2>&1 &
    STARTED_PIDS+=($!)
    export CUPS_SERVER="$c/cups.sock"
    wait_for 20 "an answer from cupsd (see $c/log)" lpstat -r || return 1
    # cups-pdf reads a queue's settings from /etc/cups/cups-pdf-NAME.conf, NAME from the device
    # URI; a name of our own keeps the shared cups-pdf.conf and the users' folders untouched.
    local name="glimmerbox-test-$$"
    local conf="/etc/cups/cups-pdf-$name.conf"
    printf 'Out %s\nAnonDirName %s\n' "$c/pdf" "$c/pdf" >"$conf"
    CLEANUP_FILES+=("$conf")
    # A scheduler that has just started may still turn the new queue away for a moment.
    if ! wait_for 20 "cupsd taking GlimmerboxPDF" lpadmin -p GlimmerboxPDF -E \
        -v "cups-pdf:/$name" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd ||
        ! lpadmin -p GlimmerboxLetter -E -v "cups-pdf:/$name" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
            -o PageSize=Letter ||
        ! wait_for 20 "GlimmerboxPDF as the default" lpadmin -d GlimmerboxPDF; then
        echo "cupsd did not take the test printer; see $c/log" >&2
        lpadmin -p GlimmerboxPDF -E -v "cups-pdf:/$name" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
            >&2 || true
        return 1
    fi
    export GLIMMERBOX_TEST_PDF_DIR="$c/pdf"
    echo "Test spooler: CUPS_SERVER=$CUPS_SERVER, default printer GlimmerboxPDF"
}
