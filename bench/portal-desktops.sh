#!/usr/bin/env bash
# The grab through the desktop portal next to the portal's Screenshot call alone, at 1920x1080
# and 3840x2160, on headless KWin with the KDE portal and on GNOME Shell with GNOME's, each
# desktop on a session bus of its own. Prints "DESKTOP_SIZE_FIGURE VALUE" lines (bench_portal's
# figures, in milliseconds).
#   portal-desktops.sh BUILD RUNS     as root, with GLIMMERBOX_PLASMA_QML (scripts/bench)
set -euo pipefail
fail() {
    echo "FAIL: $*" >&2
    [[ ! -v T ]] || tail -n 12 "$T"/*.log >&2
    exit 1
}
# shellcheck source-path=SCRIPTDIR source=../scripts/lib/common.sh
source "$(dirname "$(realpath "$0")")/../scripts/lib/common.sh"
bus_conf=$(dirname "$(realpath "$0")")/../tests/wayland/session-bus.conf

if [[ ${1-} != --desktop ]]; then
    build=$(realpath "$1") runs=$2 work=$(mktemp -d /tmp/glimmerbox-portal.XXXXXX)
    trap 'rm -rf "$work"' EXIT
    [[ -d ${GLIMMERBOX_PLASMA_QML-} ]] || fail "the KDE portal's QML is missing: run scripts/bench"
    for size in 1920x1080 3840x2160; do
        QT_QPA_PLATFORM=offscreen "$build/bench/bench_portal" picture "$work/$size.png" \
            "${size%x*}" "${size#*x}"
        for wm in kwin gnome; do
            dbus-run-session --config-file="$bus_conf" -- "$(realpath "$0")" --desktop "$wm" \
                "$size" "$work/$size.png" "$build/bench/bench_portal" "$runs" \
                2>"$work/session.log" |
                sed "s/^/${wm}_${size}_/" || { cat "$work/session.log" >&2 && exit 1; }
        done
    done
    exit 0
fi

# --desktop kwin|gnome WxH PICTURE BENCH RUNS: the desktop, on this bus, showing the picture.
wm=$2 size=$3 picture=$4 bench=$5 runs=$6 pids=() T=$(mktemp -d "/tmp/glimmerbox-$2.XXXXXX")
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$T"' EXIT
export XDG_RUNTIME_DIR=$T HOME=$T WAYLAND_DISPLAY=glimmerbox-bench
unset QT_QPA_PLATFORM DISPLAY XAUTHORITY
mkdir "$T/Pictures"
if [[ $wm == kwin ]]; then
    # shellcheck disable=SC2016 # the holder writes its own pid and XWayland's display
    printf '#!/bin/sh\necho $$ $DISPLAY $XAUTHORITY >%s/x\nexec sleep 600\n' "$T" >"$T/up"
    chmod +x "$T/up"
    # A copy without the file capability, which these containers refuse to run.
    cp /usr/bin/kwin_wayland "$T/kwin_wayland"
    "$T/kwin_wayland" --virtual --xwayland --width "${size%x*}" --height "${size#*x}" \
        --socket "$WAYLAND_DISPLAY" "$T/up" >"$T/wm.log" 2>&1 &
    pids+=($!)
    wait_for 20 "KWin starting" test -s "$T/x"
    read -r holder DISPLAY XAUTHORITY <"$T/x" && export DISPLAY XAUTHORITY && pids+=("$holder")
    kde=$(echo /usr/lib/*/libexec/xdg-desktop-portal-kde)
    XDG_CURRENT_DESKTOP=KDE QT_QPA_PLATFORM=xcb QML2_IMPORT_PATH=$GLIMMERBOX_PLASMA_QML "$kde" \
        >"$T/kde.log" 2>&1 &
    pids+=($!) && desktop=KDE
    wait_for 20 "the KDE portal on the bus" owned org.freedesktop.impl.portal.desktop.kde
else
    # A system bus of its own, and /run/systemd hidden, so that gnome-shell runs without logind.
    dbus-daemon --config-file="$bus_conf" --print-address=3 --nofork 3>"$T/system-bus" \
        >"$T/bus.log" 2>&1 &
    pids+=($!)
    wait_for 10 "a system bus" test -s "$T/system-bus"
    DBUS_SYSTEM_BUS_ADDRESS=$(cat "$T/system-bus")
    export DBUS_SYSTEM_BUS_ADDRESS GSETTINGS_BACKEND=memory XDG_SESSION_TYPE=wayland
    mkdir -p "$T/.local/share/gnome-shell" && touch "$T/.local/share/gnome-shell/lock-warning-shown"
    unshare -m sh -c 'mount -t tmpfs tmpfs /run/systemd && exec "$@"' sh gnome-shell \
        --headless --wayland --unsafe-mode --virtual-monitor "$size" \
        --wayland-display "$WAYLAND_DISPLAY" >"$T/wm.log" 2>&1 &
    pids+=($!)
    wait_for 30 "GNOME Shell starting" grep -q "GNOME Shell started" "$T/wm.log"
    # The desktop alone: no overview, no top bar, no banner (Eval needs the unsafe mode).
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval \
        'Main.overview.hide(); Main.panel.hide(); Main.messageTray._bannerBin.hide();' >/dev/null
    # Screenshots allowed beforehand, as a user's first Allow leaves it: no dialog.
    /usr/libexec/xdg-permission-store --replace >"$T/permissions.log" 2>&1 &
    pids+=($!)
    wait_for 20 "the permission store on the bus" owned org.freedesktop.impl.portal.PermissionStore
    gdbus call --session -d org.freedesktop.impl.portal.PermissionStore \
        -o /org/freedesktop/impl/portal/PermissionStore \
        -m org.freedesktop.impl.portal.PermissionStore.SetPermission \
        screenshot true screenshot '' "['yes']" >/dev/null
    XDG_CURRENT_DESKTOP=GNOME GDK_BACKEND=wayland /usr/libexec/xdg-desktop-portal-gnome \
        >"$T/gnome.log" 2>&1 &
    pids+=($!) && desktop=GNOME
    wait_for 20 "the GNOME portal on the bus" owned org.freedesktop.impl.portal.desktop.gnome
fi
XDG_CURRENT_DESKTOP=$desktop /usr/libexec/xdg-desktop-portal >"$T/portal.log" 2>&1 &
pids+=($!)
wait_for 20 "the desktop portal on the bus" owned org.freedesktop.portal.Desktop
QT_QPA_PLATFORM=wayland "$bench" "$runs" "$picture" 2>"$T/bench.log" ||
    fail "bench_portal on $wm at $size: $(grep -h '^bench_portal:' "$T/bench.log")"
