#!/usr/bin/env bash
# Runs a headless Wayland desktop (sway with XWayland, PipeWire, the desktop portal with the wlr
# back-end) showing a picture, inside the session bus it was started in, and runs a command on
# it twice: once with Qt on wayland, once with Qt on xcb under XWayland.
#   wayland-session.sh WORKDIR PICTURE.png COMMAND...
# Runs as an unprivileged user (sway refuses root); everything it starts stops with it.
set -euo pipefail
work=$1
picture=$2
shift 2

export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

wait_until() {
    local tries=$(($1 * 20))
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}
has_owner() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q 'boolean true'
}

cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1024x768 bg $picture fill
seat * hide_cursor 1
xwayland enable
CONF
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
wait_until 20 sh -c "ls '$XDG_RUNTIME_DIR'/sway-ipc.*.sock" || { cat "$work/sway.log" >&2; exit 1; }
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n 1)
export SWAYSOCK
export WAYLAND_DISPLAY=wayland-1
wait_until 20 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"

pipewire >"$work/pipewire.log" 2>&1 &
pids+=($!)
wait_until 20 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { cat "$work/pipewire.log" >&2; exit 1; }

printf '[screencast]\noutput_name=HEADLESS-1\nchooser_type=none\n' >"$work/wlr.conf"
XDG_CURRENT_DESKTOP=sway /usr/libexec/xdg-desktop-portal-wlr -c "$work/wlr.conf" \
    >"$work/portal-wlr.log" 2>&1 &
pids+=($!)
wait_until 20 has_owner org.freedesktop.impl.portal.desktop.wlr || { cat "$work/portal-wlr.log" >&2; exit 1; }
XDG_CURRENT_DESKTOP=sway /usr/libexec/xdg-desktop-portal >"$work/portal.log" 2>&1 &
pids+=($!)
wait_until 20 has_owner org.freedesktop.portal.Desktop || { cat "$work/portal.log" >&2; exit 1; }

# The first frames after sway starts can be empty: wait until the screen shows the picture.
wait_until 20 sh -c "grim '$work/reference.png' && '$XTOOL' same '$work/reference.png' '$picture'" \
    || { echo "the Wayland screen never showed the picture" >&2; exit 1; }

# XWayland's display, as sway gives it to the programs it starts.
swaymsg exec "echo \$DISPLAY > '$work/display'" >/dev/null
wait_until 20 test -s "$work/display"
x_display=$(cat "$work/display")

status=0
echo "== Qt on wayland"
QT_QPA_PLATFORM=wayland "$@" || status=1
echo "== Qt on xcb under XWayland ($x_display)"
QT_QPA_PLATFORM=xcb DISPLAY=$x_display "$@" || status=1
exit $status
