#!/usr/bin/env bash
# Auto-Dump on a headless compositor with a task bar, driven as a task bar drives it: KWin (with
# the KDE portal reading the screen, Qt on wayland and on xcb) or mutter (XWayland windows, with
# the tests' stand-in portal, which refuses unless the window is on the task bar). For each: no
# page at the start, one page per restore showing the screen without the window, maximise gives
# the normal window and caption and no page, and little processor time.
#   task-bar.sh kwin|mutter XTOOL PORTAL-STAND-IN PROGRAM   (scripts/test's spooler; KEEP=1 keeps logs)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; tail -n 12 "$T"/*.log >&2; xwininfo -root -tree 2>&1 | grep -a '"' >&2; exit 1; }
source "$(dirname "$(realpath "$0")")/../poll.sh"
wm=$1 xtool=$2 standin=$3 program=$4 pids=() T=$(mktemp -d /tmp/glimmerbox-$1.XXXXXX)
trap 'kill "${pids[@]}" 2>/dev/null; wait; [[ -n ${KEEP-} ]] || rm -rf "$T"' EXIT
[[ -d ${GLIMMERBOX_TEST_PDF_DIR-} && -d ${GLIMMERBOX_PLASMA_QML-} ]] || fail "run it from scripts/test"
export XDG_RUNTIME_DIR=$T HOME=$T QT_LOGGING_RULES=glimmerbox.autodump.debug=true QT_MESSAGE_PATTERN="%{time process} %{message}"
unset QT_QPA_PLATFORM DISPLAY XAUTHORITY
mkdir -m 700 -p "$T/Pictures" && chmod 700 "$T" && "$xtool" write-pattern "$T/screen.png" 1024 768 3
printf '#!/bin/sh\necho $$ $DISPLAY $XAUTHORITY >%s/x\nexec sleep 600\n' "$T" >"$T/up" && chmod +x "$T/up"
if [[ $wm == kwin ]]; then # a copy without the file capability, under the name KWin checks for
    cp /usr/bin/kwin_wayland "$T/kwin_wayland"
    "$T/kwin_wayland" --virtual --xwayland --width 1024 --height 768 --socket glimmerbox-test "$T/up" >"$T/wm.log" 2>&1 & pids+=($!)
else
    mutter --headless --wayland --virtual-monitor 1024x768 --wayland-display glimmerbox-test --sm-disable -- "$T/up" >"$T/wm.log" 2>&1 & pids+=($!)
fi
poll 20 "$wm did not start" test -s "$T/x"
read -r holder DISPLAY XAUTHORITY <"$T/x" && export DISPLAY XAUTHORITY WAYLAND_DISPLAY=glimmerbox-test && pids+=("$holder")
owned() { gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.NameHasOwner "$1" | grep -q true; }
if [[ $wm == kwin ]]; then
    XDG_CURRENT_DESKTOP=KDE QT_QPA_PLATFORM=xcb QML2_IMPORT_PATH=$GLIMMERBOX_PLASMA_QML /usr/lib/*/libexec/xdg-desktop-portal-kde >"$T/kde.log" 2>&1 &
    pids+=($!) && desktop=KDE && cp /usr/share/xdg-desktop-portal/portals/kde.portal "$T"
    poll 20 "the KDE portal did not start" owned org.freedesktop.impl.portal.desktop.kde
    kw() { # a KWin script on the program's main window, as the task bar acts on it
        printf 'for (const c of workspace.clientList()) if (c.pid == %s && !c.transient) { %s }' "$PID" "$1" >"$T/s.js"
        local id && id=$(gdbus call --session -d org.kde.KWin -o /Scripting -m org.kde.kwin.Scripting.loadScript "$T/s.js" "s$RANDOM")
        gdbus call --session -d org.kde.KWin -o "/${id//[^0-9]/}" -m org.kde.kwin.Script.run >/dev/null; }
    restore() { kw 'workspace.activeClient = c;'; }
    maximise() { kw 'c.setMaximize(true, true);'; }
    shows() { # CAPTION MINIMISED: asked of KWin, which answers on its log
        local m=M$RANDOM && kw "print('$m ' + c.caption + ' ' + c.minimized);" && sleep 0.2 && grep -aq "$m $1 $2" "$T/wm.log"; }
else # mutter has no screenshot service of its own
    printf '[portal]\nDBusName=org.freedesktop.impl.portal.desktop.glimmerboxtest\nInterfaces=org.freedesktop.impl.portal.Screenshot;org.freedesktop.impl.portal.Access;\nUseIn=mutter\n' >"$T/test.portal"
    QT_QPA_PLATFORM=offscreen "$standin" serve "$T/screen.png" sh -c 'xprop -id "$(cat "$0/wid")" WM_STATE | grep -q Iconic' "$T" >"$T/standin.log" 2>&1 &
    pids+=($!) && desktop=mutter
    poll 20 "the stand-in portal did not start" owned org.freedesktop.impl.portal.desktop.glimmerboxtest
    restore() { xdotool windowactivate "$WID"; }
    maximise() { wmctrl -i -r "$WID" -b add,maximized_vert,maximized_horz; }
    shows() { local s && s=$(xprop -id "$WID" _NET_WM_NAME WM_STATE) && [[ $s == *"\"$1\""* && $s == *"$([[ $2 == true ]] && echo Iconic || echo Normal)"* ]]; }
fi
XDG_DESKTOP_PORTAL_DIR=$T XDG_CURRENT_DESKTOP=$desktop /usr/libexec/xdg-desktop-portal >"$T/portal.log" 2>&1 & pids+=($!)
poll 20 "the desktop portal did not start" owned org.freedesktop.portal.Desktop
if [[ $wm == kwin ]]; then # the screen as the KDE portal reads it, to compare the pages with
    gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop -m org.freedesktop.portal.Screenshot.Screenshot '' "{'interactive': <false>}" >/dev/null
    poll 10 "the KDE portal took no screenshot" compgen -G "$T/Pictures/*.png" && mv "$T"/Pictures/*.png "$T/screen.png"
fi
pdfs() { find "$GLIMMERBOX_TEST_PDF_DIR" -name '*.pdf' | wc -l; }
printed() { (($(pdfs) == $1)) && [[ -z $(lpstat -o) ]]; }
for platform in $([[ $wm == kwin ]] && echo wayland) xcb; do
    echo "== $wm, Qt on $platform"
    before=$(pdfs)
    QT_QPA_PLATFORM=$platform "$program" /A >"$T/glimmerbox-$platform.log" 2>&1 & PID=$! && pids+=($PID)
    [[ $wm == kwin ]] || poll 10 "no window" sh -c "xdotool search --pid $PID --name '^Click to Print Screen\$' | while read -r w; do xprop -id \$w WM_STATE | grep -q Iconic && echo \$w >$T/wid; done; test -s $T/wid"
    WID=$(cat "$T/wid" 2>/dev/null || true) # mutter's window: xdotool and wmctrl act on it
    poll 10 "the window on the task bar as \"Click to Print Screen\"" shows "Click to Print Screen" true
    sleep 4 && { printed "$before" || fail "a page nobody asked for at the start"; }
    for click in 1 2 3; do
        restore
        poll 30 "the page of restore $click" printed $((before + click))
        poll 10 "the window back on the task bar after restore $click" shows "Click to Print Screen" true
    done
    maximise
    restore # where the compositor keeps a maximised window on the task bar, the user clicks it
    poll 10 "the normal window after maximise" shows Glimmerbox false
    sleep 3 && { printed $((before + 3)) || fail "$(($(pdfs) - before)) pages for three restores"; }
    for page in $(ls -t "$GLIMMERBOX_TEST_PDF_DIR"/*.pdf | head -n 3); do pdfimages -png "$page" "$T/page" && "$xtool" same "$T/page-000.png" "$T/screen.png" || fail "$page is not the bare screen"; done
    read -r -a stat <"/proc/$PID/stat" && cpu=$(((stat[13] + stat[14]) * 100 / $(getconf CLK_TCK)))
    echo "processor time: $cpu / 100 s" && ((cpu < 400)) || fail "the program used $cpu / 100 s of processor time"
    kill "$PID"
done
