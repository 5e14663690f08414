#!/usr/bin/env bash
# Starts the headless Wayland desktop as the unprivileged user "nobody" in a session bus of its
# own, and runs a test program on it: run-as-desktop-user.sh XTOOL TEST-PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
xtool=$1
program=$2
[[ $(id -u) -eq 0 ]] || { echo "the Wayland tests need root, to run the desktop as nobody" >&2; exit 1; }
for tool in sway pipewire grim wtype wl-paste swaymsg dbus-run-session setpriv /usr/libexec/xdg-desktop-portal \
    /usr/libexec/xdg-desktop-portal-wlr; do
    command -v "$tool" >/dev/null || { echo "missing for the Wayland tests: $tool" >&2; exit 1; }
done

work=$(mktemp -d /tmp/glimmerbox-wayland.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/runtime" "$work/home"
chmod 755 "$work"
chmod 700 "$work/runtime"
"$xtool" write-pattern "$work/pattern.png" 1024 768 6
sed "s|@RUNTIME_DIR@|$work/runtime|" "$here/session-bus.conf.in" >"$work/bus.conf"
chown -R 65534:65534 "$work"

setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS XTOOL="$xtool" GLIMMERBOX_PATTERN="$work/pattern.png" \
    dbus-run-session --config-file="$work/bus.conf" -- \
    "$here/wayland-session.sh" "$work" "$work/pattern.png" "$program"
