#!/usr/bin/env bash
# Auto-Dump on a headless desktop with a task bar and its own portal, driven as the task bar
# drives it, with Qt on wayland and on xcb: KWin with the KDE portal, GNOME Shell with GNOME's.
# No page at the start, one bare screen per restore, maximise gives the normal window, no page.
# Then Ctrl+Print on KWin, --print-screen on GNOME, gives one more bare screen.
#   task-bar.sh kwin|gnome XTOOL PROGRAM    (scripts/test's spooler)
set -euo pipefail
# shellcheck source=../scenario/session.sh
source "$(dirname "$(realpath "$0")")/../scenario/session.sh"
fail() {
    echo "FAIL: $*" >&2
    tail -n 12 "$T"/*.log >&2
    exit 1
}
wm=$1 xtool=$2 program=$3 pids=() T=$(mktemp -d "/tmp/glimmerbox-$1.XXXXXX")
QUEUE=GlimmerboxPDF # the one queue printed looks at: the sheet sessions' beside it may be busy
trap 'kill "${pids[@]}" 2>/dev/null; wait; discard "$T"' EXIT
[[ -d ${GLIMMERBOX_TEST_PDF_DIR-} && -d ${GLIMMERBOX_PLASMA_QML-} ]] ||
    fail "run it from scripts/test"
export XDG_RUNTIME_DIR=$T HOME=$T QT_LOGGING_RULES=glimmerbox.autodump.debug=true
export QT_MESSAGE_PATTERN="%{time process} %{message}"
unset QT_QPA_PLATFORM DISPLAY XAUTHORITY XDG_CONFIG_HOME
mkdir -m 700 "$T/Pictures" && chmod 700 "$T"
export WAYLAND_DISPLAY=glimmerbox-test
if [[ $wm == kwin ]]; then
    printf '#!/bin/sh\necho $$ $DISPLAY $XAUTHORITY >%s/x\nexec sleep 600\n' "$T" >"$T/up"
    chmod +x "$T/up"
    # A copy without the file capability, under the name KWin checks for.
    cp /usr/bin/kwin_wayland "$T/kwin_wayland"
    started "$T/kwin_wayland" --virtual --xwayland --width 1024 --height 768 \
        --socket glimmerbox-test "$T/up" >"$T/wm.log" 2>&1
    wait_for 20 "KWin starting" test -s "$T/x"
    read -r holder DISPLAY XAUTHORITY <"$T/x" && export DISPLAY XAUTHORITY && pids+=("$holder")
    XDG_CURRENT_DESKTOP=KDE QT_QPA_PLATFORM=xcb QML2_IMPORT_PATH=$GLIMMERBOX_PLASMA_QML \
        started "$(echo /usr/lib/*/libexec/xdg-desktop-portal-kde)" >"$T/kde.log" 2>&1
    desktop=KDE
    wait_for 20 "the KDE portal on the bus" owned org.freedesktop.impl.portal.desktop.kde
    # KWin alone shows a black screen, which a black page would match: a pattern instead.
    "$xtool" write-pattern "$T/pattern.png" 1024 768 7
    started display -backdrop -background black "$T/pattern.png" >"$T/display.log" 2>&1
    act() { # a KWin script on the program's main window, as the task bar acts on it
        printf 'for (const c of workspace.clientList()) if (c.pid == %s && !c.transient) { %s }' \
            "$PID" "$1" >"$T/s.js"
        local id
        id=$(gdbus call --session -d org.kde.KWin -o /Scripting \
            -m org.kde.kwin.Scripting.loadScript "$T/s.js" "s$RANDOM")
        gdbus call --session -d org.kde.KWin -o "/${id//[^0-9]/}" -m org.kde.kwin.Script.run \
            >/dev/null
    }
    restore() { act 'workspace.activeClient = c;'; }
    maximise() { act 'c.setMaximize(true, true);'; }
    shows() { # CAPTION MINIMISED: asked of KWin by the window's id, which KWin gives on its log;
        local id info # a window shown again is a new one there, whose id is asked for again
        if ! id=$(grep -ao "U$PID {[-0-9a-f]*}" "$T/wm.log" | tail -n 1) ||
            ! info=$(gdbus call --session -d org.kde.KWin -o /KWin \
                -m org.kde.KWin.getWindowInfo "${id#* }") || [[ $info != *"'caption'"* ]]; then
            act "print('U$PID ' + c.internalId);" && return 1
        fi
        [[ $info == *"'caption': <'$1'>"* && $info == *"'minimized': <$2>"* ]]
    }
else
    # A system bus of its own, and /run/systemd hidden, so that gnome-shell runs without logind.
    started dbus-daemon --config-file="$(dirname "$(realpath "$0")")/../wayland/session-bus.conf" \
        --print-address=3 --nofork 3>"$T/system-bus" >"$T/bus.log" 2>&1
    wait_for 30 "a system bus" test -s "$T/system-bus"
    DBUS_SYSTEM_BUS_ADDRESS=$(cat "$T/system-bus")
    export DBUS_SYSTEM_BUS_ADDRESS GSETTINGS_BACKEND=memory
    export XDG_SESSION_TYPE=wayland
    mkdir -p "$T/.local/share/gnome-shell" && touch "$T/.local/share/gnome-shell/lock-warning-shown"
    # Unsafe mode lets the test act as the dash and the task bar would, through Eval.
    started unshare -m sh -c 'mount -t tmpfs tmpfs /run/systemd && exec "$@"' sh gnome-shell \
        --headless --wayland --unsafe-mode --virtual-monitor 1024x768 \
        --wayland-display glimmerbox-test >"$T/wm.log" 2>&1
    wait_for 30 "GNOME Shell starting" grep -q "GNOME Shell started" "$T/wm.log"
    shell() { gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
        -m org.gnome.Shell.Eval "$1"; }
    # The desktop alone: no overview, no top bar with its clock, no banner.
    shell 'Main.overview.hide(); Main.panel.hide(); Main.messageTray._bannerBin.hide();' >/dev/null
    wait_for 20 "GNOME Shell's XWayland" sh -c "pgrep -a Xwayland | grep -q '$T'"
    xwayland=$(pgrep -a Xwayland | grep "$T" | head -n 1)
    DISPLAY=$(grep -o ' :[0-9]*' <<<"$xwayland" | head -n 1 | tr -d ' ')
    XAUTHORITY=$(grep -o -- '-auth [^ ]*' <<<"$xwayland" | cut -d' ' -f2)
    export DISPLAY XAUTHORITY
    started /usr/libexec/xdg-permission-store --replace >"$T/permissions.log" 2>&1
    XDG_CURRENT_DESKTOP=GNOME GDK_BACKEND=wayland started /usr/libexec/xdg-desktop-portal-gnome \
        >"$T/gnome.log" 2>&1
    desktop=GNOME
    wait_for 20 "the GNOME portal on the bus" owned org.freedesktop.impl.portal.desktop.gnome
    act() { # Eval on the program's main window, as the dash acts on it
        shell "const w = global.get_window_actors().map(a => a.meta_window).find(w =>
            w.get_pid() == $PID && !w.get_transient_for()); $1"
    }
    restore() { act 'w.activate(global.get_current_time());' >/dev/null; }
    maximise() { act 'w.maximize(Meta.MaximizeFlags.BOTH);' >/dev/null; }
    shows() { act 'w.get_title() + " " + w.minimized' | grep -q "$1 $2"; }
    # GNOME asks the user before the first screenshot: answered after 12 s, as a user who
    # reads it first would.
    dialog() { shell 'Main.shellAccessDialogDBusService._accessDialog != null' | grep -q "'true'"; }
    allow() {
        wait_for 30 "GNOME asking whether Glimmerbox may take screenshots" dialog
        sleep 12
        shell 'Main.shellAccessDialogDBusService._accessDialog._sendResponse(0)' >/dev/null
    }
fi
XDG_CURRENT_DESKTOP=$desktop started /usr/libexec/xdg-desktop-portal >"$T/portal.log" 2>&1
wait_for 20 "the desktop portal on the bus" owned org.freedesktop.portal.Desktop
# The screen as the desktop reads it, to compare the pages with.
if [[ $wm == kwin ]]; then
    gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
        -m org.freedesktop.portal.Screenshot.Screenshot '' "{'interactive': <false>}" >/dev/null
    wait_for 30 "the KDE portal's screenshot" compgen -G "$T/Pictures/*.png"
    mv "$T"/Pictures/*.png "$T/screen.png"
else
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell/Screenshot \
        -m org.gnome.Shell.Screenshot.Screenshot false false "$T/screen.png" >/dev/null
fi
for platform in wayland xcb; do
    echo "== $wm, Qt on $platform"
    before=$(pdfs)
    QT_QPA_PLATFORM=$platform "$program" /A >"$T/glimmerbox-$platform.log" 2>&1 &
    PID=$! && pids+=("$PID")
    wait_for 30 "the window on the task bar as \"Click to Print Screen\"" \
        shows "Click to Print Screen" true
    # The program makes its pages one after another: a page that has come proves that none before
    # it is still to come.
    for click in 1 2 3; do
        restore
        [[ $wm$platform$click != gnomewayland1 ]] || allow
        wait_for 60 "the page of restore $click" printed $((before + click))
        wait_for 30 "the window back on the task bar after restore $click" \
            shows "Click to Print Screen" true
        ((click > 1 || $(pdfs) == before + 1)) || fail "a page nobody asked for at the start"
    done
    maximise
    restore # where the compositor keeps a maximised window on the task bar, the user clicks it
    wait_for 30 "the normal window after maximise" shows Glimmerbox false
    if [[ $wm == gnome ]]; then # a page asked for from outside, after any the restores made
        "$program" --print-screen || fail "--print-screen ended with status $?"
    else # Ctrl+Print is Glimmerbox's in KDE's shortcuts; KWin presses it
        gdbus call --session -d org.kde.kglobalaccel -o /kglobalaccel \
            -m org.kde.KGlobalAccel.action $((0x04000000 | 0x01000009)) | grep -q "'glimmerbox'" ||
            fail "Ctrl+Print is not Glimmerbox's in KDE's shortcuts"
        # As saved: asked over D-Bus, this kglobalaccel answers with the active key instead.
        grep -q '^print-screen=Ctrl+Print,Ctrl+Print,' "$T/.config/kglobalshortcutsrc" ||
            fail "KDE gives Glimmerbox no default key"
        gdbus call --session -d org.kde.kglobalaccel -o /component/glimmerbox \
            -m org.kde.kglobalaccel.Component.invokeShortcut print-screen >/dev/null
    fi
    wait_for 60 "the page after the maximise" printed $((before + 4))
    (($(pdfs) == before + 4)) || fail "$(($(pdfs) - before - 1)) pages for three restores"
    for page in $(ls -t "$GLIMMERBOX_TEST_PDF_DIR"/*.pdf | head -n 3); do
        pdfimages -png "$page" "$T/page"
        "$xtool" same "$T/page-000.png" "$T/screen.png" || fail "$page is not the bare screen"
    done
    read -r -a stat <"/proc/$PID/stat" && cpu=$(((stat[13] + stat[14]) * 100 / $(getconf CLK_TCK)))
    echo "processor time: $cpu / 100 s"
    ((cpu < 400)) || fail "the program used $cpu / 100 s of processor time"
    kill "$PID"
done
