#!/usr/bin/env bash
# The user's session on a headless Wayland desktop (sway with XWayland, PipeWire, the desktop
# portal with its wlr back-end) that shows a test pattern: the program's first shot, copied with
# Ctrl+C from a virtual keyboard and pasted by another program, is the screen pixel for pixel,
# with Qt on wayland and on xcb under XWayland, and the portal's file is gone afterwards.
#   user-session.sh XTOOL PROGRAM      as root; GLIMMERBOX_INSTALLED, when set, is the program
set -euo pipefail
# shellcheck source=../scenario/session.sh
source "$(dirname "$(realpath "$0")")/../scenario/session.sh"
fail() {
    echo "FAIL: $*" >&2
    [[ ! -v pids ]] || tail -n 20 ./*.log >&2 # the desktop's own account
    exit 1
}

boxed() { [[ $(swaymsg -t get_tree) == *'"name": "Grab Screen"'* ]]; } # a message box instead
# The window takes the keyboard a while after it starts, and the copy comes after a pop-up of two
# seconds: a Ctrl+C that went nowhere is typed again 3 s later.
pasted() {
    timeout 30 wl-paste -t image/png >pasted.png || boxed && return
    ((SECONDS < typed + 3)) || { wtype -s 300 -M ctrl -s 100 c -m ctrl; typed=$SECONDS; }
    false
}

# The program's first shot, pasted by another program, is the screen: shot_is_the_screen PLATFORM
shot_is_the_screen() {
    echo "== Qt on $1"
    local PID typed=$SECONDS
    QT_QPA_PLATFORM=$1 "$program" &
    PID=$! && pids+=($!)
    wait_for 60 "a shot to paste from the program on Qt's $1 platform" pasted
    ! boxed || fail "no shot on Qt's $1 platform: the program showed a message box instead"
    # Its copy must die with it, before the next program runs.
    kill "${pids[-1]}"
    wait "${pids[-1]}" || true
    "$xtool" same pasted.png pattern.png ||
        fail "the shot pasted on Qt's $1 platform is not the screen"
    [[ ! -e out.png ]] || fail "the portal's file is left behind on Qt's $1 platform"
}

case ${1-} in
--desktop) # as nobody, on the session's own bus, with /tmp the session's work folder
    xtool=$2 program=$3 pids=()
    trap 'kill "${pids[@]}" 2>/dev/null; wait' EXIT
    cd /tmp
    printf 'output HEADLESS-1 resolution 1024x768 bg /tmp/pattern.png fill\n' >sway.conf
    echo 'seat * hide_cursor 1' >>sway.conf
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        started sway -c sway.conf >sway.log 2>&1
    export WAYLAND_DISPLAY=wayland-1 SWAYSOCK=$XDG_RUNTIME_DIR/sway-ipc.65534.$!.sock
    wait_for 20 "sway's socket" test -S "$SWAYSOCK"
    started pipewire >pipewire.log 2>&1
    wait_for 20 "PipeWire's socket" test -S "$XDG_RUNTIME_DIR/pipewire-0"
    printf '[screencast]\noutput_name=HEADLESS-1\nchooser_type=none\n' >wlr.conf
    export XDG_CURRENT_DESKTOP=sway
    started /usr/libexec/xdg-desktop-portal-wlr -c wlr.conf >portal-wlr.log 2>&1
    wait_for 20 "the portal's wlr back-end on the bus" owned org.freedesktop.impl.portal.desktop.wlr
    started /usr/libexec/xdg-desktop-portal >portal.log 2>&1
    wait_for 20 "the portal on the bus" owned org.freedesktop.portal.Desktop
    # The first frames after sway starts can be empty.
    wait_for 20 "the pattern on the screen" \
        sh -c "grim ref.png && '$xtool' same ref.png pattern.png"
    # shellcheck disable=SC2016 # XWayland's display, as sway gives it to the programs it starts
    swaymsg exec 'echo $DISPLAY >/tmp/display' >/dev/null
    wait_for 20 "XWayland's display from sway" test -s display
    shot_is_the_screen wayland
    DISPLAY=$(cat display) shot_is_the_screen xcb
    ;;
--namespace) # as root, with mounts of its own
    work=$2
    # The host's /tmp, where the programs may be, stays in sight as /mnt.
    xtool=${3/#\/tmp//mnt} program=${4/#\/tmp//mnt} self=${0/#\/tmp//mnt}
    if [[ -n ${GLIMMERBOX_INSTALLED-} ]]; then # in a folder only root may enter
        mkdir "$work/usr"
        mount --bind "${GLIMMERBOX_INSTALLED%/bin/*}" "$work/usr"
        program=/tmp/usr/bin/glimmerbox
    fi
    # The portal's wlr back-end always writes /tmp/out.png: sessions side by side must not share it.
    mount --bind /tmp /mnt
    mount --rbind "$work" /tmp
    exec setpriv --reuid=65534 --regid=65534 --clear-groups env -u DISPLAY -u WAYLAND_DISPLAY \
        HOME=/tmp XDG_RUNTIME_DIR=/tmp/runtime \
        dbus-run-session --config-file="${self%/*}/session-bus.conf" -- \
            "$self" --desktop "$xtool" "$program"
    ;;
*) # as root
    [[ $(id -u) -eq 0 ]] || fail "the Wayland desktop needs root, to run it as the user nobody"
    for tool in sway pipewire grim wtype wl-paste swaymsg Xwayland dbus-run-session setpriv \
        unshare /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr; do
        command -v "$tool" >/dev/null || fail "missing for the Wayland desktop: $tool"
    done
    work=$(mktemp -d /tmp/glimmerbox-wayland.XXXXXX)
    trap 'discard "$work"' EXIT
    "$1" write-pattern "$work/pattern.png" 1024 768 6
    mkdir -m 700 "$work/runtime"
    chown -R 65534:65534 "$work"
    chmod 755 "$work"
    unshare --mount --propagation private \
        "$(realpath "$0")" --namespace "$work" "$(realpath -m "$1")" "$(realpath -m "$2")"
    ;;
esac
