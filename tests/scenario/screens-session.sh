#!/usr/bin/env bash
# shellcheck disable=SC2086,SC2317
# Grabs are exactly the primary monitor's pixels as the X server has them now, on a screen that
# changes size (Xorg's dummy driver; a shrink brings the main window back) and on two monitors at
# desktop scales.  XTOOL PROGRAM resize|resize-without-shm|monitors; GLIMMERBOX_INSTALLED wins
set -euo pipefail
XTOOL=$1 PROGRAM=${GLIMMERBOX_INSTALLED:-$2} MODE=$3 PID='' SERVERS='' failed=0
# shellcheck source=session.sh
source "$(dirname "$(realpath "$0")")/session.sh"
T=$(mktemp -d /tmp/glimmerbox-screens.XXXXXX) V='^Glimmerbox v1\.04$' # the main window's title
trap 'set +e; kill $PID $SERVERS 2>/dev/null; wait $PID $SERVERS; discard "$T"' EXIT
mkdir -m 700 "$T/runtime" && mkfifo "$T/display" && export XDG_RUNTIME_DIR=$T/runtime
desktop() { # W H SERVER ARGS...: an X server on a display number of its choice, openbox, a pattern
    "${@:3}" -displayfd 3 -noreset 3>"$T/display" >"$T/server.log" 2>&1 & SERVERS+=" $!"
    read -r -t 20 n <"$T/display" || fail "no X server: $(tail -n 3 "$T/server.log")"
    export DISPLAY=:$n && "$XTOOL" write-pattern "$T/screen.png" "$1" "$2" 7
    openbox --sm-disable >/dev/null 2>&1 & SERVERS+=" $!"
    wait_for 20 openbox sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
    "$XTOOL" setroot "$T/screen.png"
}
start() { "$PROGRAM" & PID=$!; wait_for 20 "the main window" shown "$V" && MAIN=$(window "$V"); }
shot() { # WHAT X Y W H: Ctrl+G, Ctrl+C and a paste give the pattern's pixels X Y W H
    key ctrl+g && wait_for 20 "the window hiding for the grab" gone "$V"
    wait_for 30 "the window back after the grab" shown "$V"
    copy shot
    found=$("$XTOOL" find "$T/shot.png" "$T/screen.png" 2>&1) || true
    check "$1 is the screen's $2 $3 $4 $5 (found: $found)" test "$found" == "$2 $3 $4 $5"
}
on_screen() { geometry "$MAIN" && ((X >= 0 && Y >= 0 && X + W <= 1024 && Y + H <= 768)); }

if [[ $MODE == resize* ]]; then # a dummy screen's sizes, the first at the start, all at 22 Hz
    sizes=(1920x1080 3840x2160 2560x1440 1024x768)
    modes=$(for s in "${sizes[@]}"; do
        printf 'Modeline "%s" 200 %s 3900 3950 4096 %s 2170 2180 2200 ' "$s" ${s/x/ }; done)
    cat >"$T/xorg.conf" <<EOT
Section "Device" Identifier "dummy" Driver "dummy" VideoRam 256000 EndSection
Section "Monitor" Identifier "any" HorizSync 5-1000 VertRefresh 5-500 $modes EndSection
Section "Screen" Identifier "screen" Device "dummy" Monitor "any" SubSection "Display"
    Modes $(printf '"%s" ' "${sizes[@]}") Virtual 3840 2160 EndSubSection EndSection
EOT
    [[ $MODE == resize ]] || shm='-extension MIT-SHM'
    desktop 3840 2160 Xorg -config "$T/xorg.conf" -logfile "$T/log" -novtswitch -sharevts ${shm:-}
    start
    for s in "${sizes[@]:1}" "${sizes[0]}"; do
        xrandr -s "$s" && wait_for 30 "the screen at $s" sh -c "xdpyinfo | grep -q ' $s pixels'"
        [[ $s != 3840x2160 ]] || xdotool windowmove "$MAIN" 1500 800 # where the user puts it
        [[ $s != 1024x768 ]] || wait_for 30 "the main window back on the screen" on_screen
        shot "the grab at $s" 0 0 ${s/x/ }
    done
else # Xvfb as two monitors: the primary's X Y W H, the other's, at 96 dpi
    desktop 4480 1440 Xvfb -screen 0 4480x1440x24
    monitor() { echo "$3/$(($3 * 10 / 38))x$4/$(($4 * 10 / 38))+$1+$2"; }
    for layout in "1920 0 2560 1440 0 0 1920 1080" "0 0 1920 1080 1920 0 2560 1440" \
        "2560 240 1920 1200 0 0 2560 1440"; do
        set -- $layout
        xrandr --delmonitor primary --delmonitor other --setmonitor '*primary' "$(monitor "$@")" \
            screen --setmonitor other "$(monitor "${@:5}")" none >/dev/null
        for dpi in 96 144 192; do
            echo "Xft.dpi: $dpi" | xrdb -merge && start
            shot "at $dpi dpi, the grab of the primary" "${@:1:4}"
            kill "$PID" && wait "$PID" 2>/dev/null || PID=''
        done
    done
fi
exit "$failed"
