#!/usr/bin/env bash
# shellcheck disable=SC2012,SC2016,SC2046,SC2317
# Glimmerbox as a user meets it on the 1024x768 desktop (openbox) and spooler of scripts/test, by
# mouse and by keys alone, read through the accessibility bus as a screen reader reads it; each
# output checked against the screen. Under dbus-run-session:
#   user-session.sh XTOOL [PROGRAM]           GLIMMERBOX_INSTALLED wins
set -euo pipefail
XTOOL=$1 PROGRAM=${GLIMMERBOX_INSTALLED:-${2:-}} QUEUE=GlimmerboxPDF PID='' failed=0
# shellcheck source=session.sh
here=$(dirname "$(realpath "$0")")
source "$here/session.sh"
says() { geometry "$(window "$1")" && "$XTOOL" says "$X" "$Y" "$W" "$H" "Sans Serif" 9 "$2"; }
# tree: each object of the program as a reader has it, "depth role name description states".
tree() { "$here/atspi.py" glimmerbox; }
reads() { tree | cut -f2-4 | grep -qxF "$(printf '%s\t%s\t%s' "$@")"; } # ROLE NAME DESCRIPTION
labelled() { reads image Preview "$1"; } # the label above the preview, its description
thumbnail() { reads "push button" "$1" "Screen Shots - Click to Select"; }
page_shows() { # N PICTURE: the Nth newest page holds the picture
    pdfimages -png "$(newest "$1")" "$T/page$1" && "$XTOOL" same "$T/page$1-000.png" "$2"
}
focused() { tree | awk -F'\t' '$5 ~ /focused/ { print $3 }' | tail -n 1; }
moved_from() { [[ $(focused) != "$1" ]]; }
unnamed() { # leaves on screen without a name, but for separators
    tree | awk -F'\t' '{ d[NR] = $1; r[NR] = $2; n[NR] = $3; s[NR] = $5 } END {
        for (i = 1; i <= NR; i++)
            if (s[i] ~ /showing/ && n[i] == "" && r[i] != "separator" && d[i + 1] <= d[i])
                print r[i] }'
}
tab_to() { # KEY NAME: KEY (Tab or shift+Tab), each once the focus has moved, until it is on NAME
    local before=''
    for _ in {1..12}; do
        wait_for 20 "the focus leaving \"$before\"" moved_from "$before"
        [[ $(focused) != "$2"* ]] || return 0
        before=$(focused) && key "$1"
    done
    fail "$1 does not reach \"$2\""
}
[[ -n ${DISPLAY:-} && -n ${CUPS_SERVER:-} && -d ${GLIMMERBOX_TEST_PDF_DIR:-} ]] ||
    fail "DISPLAY, CUPS_SERVER, GLIMMERBOX_TEST_PDF_DIR unset: run it in scripts/test's desktop"
[[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || fail "no session bus: run it under dbus-run-session"
[[ -x $PROGRAM ]] || fail "no program: set GLIMMERBOX_INSTALLED or pass the program's path"
xdpyinfo | grep 'dimensions: *1024x768 pixels' >/dev/null || fail "the X screen is not 1024x768"
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "no window manager runs"
lpstat -a "$QUEUE" | grep -q "^$QUEUE accepting" || fail "no queue $QUEUE taking jobs"
T=$(mktemp -d /tmp/glimmerbox-session.XXXXXX)
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
ATSPI=$!
trap 'set +e; kill "$PID" "$ATSPI" $(jobs -p) 2>/dev/null; cupsaccept "$QUEUE"; discard "$T"' EXIT
for p in A B C; do "$XTOOL" write-pattern "$T/$p.png" 1024 768 "$(printf %d "'$p")"; done

check "--version answers" test "$("$PROGRAM" --version)" == "Glimmerbox 1.0.4"
check "--help answers" grep -q "^Usage: glimmerbox" < <("$PROGRAM" --help)
"$XTOOL" setroot "$T/A.png"
printf '#!/bin/sh\ntouch "%s"\n' "$T/ran" >"$T/kinfocenter" && chmod +x "$T/kinfocenter"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PATH="$T:$PATH" "$PROGRAM" & # KDE's System Information
PID=$!
wait_for 30 "the main window" shown '^Glimmerbox v1\.04$' && MAIN=$(window '^Glimmerbox v1\.04$')
wait_for 30 "the main window on the accessibility bus" reads frame "Glimmerbox v1.04" ""
centred() { # the frame the window manager puts round the client, within a pixel of the middle
    local l r t b && read -r l r t b < <(xprop -id "$MAIN" _NET_FRAME_EXTENTS | tr -c '0-9\n' ' ')
    geometry "$MAIN" && (((2 * X + W + r - l - 1024) ** 2 + (2 * Y + H + b - t - 768) ** 2 <= 8))
}
wait_for 20 "the frame centred on the screen" centred
check "every control of the main window has a name: $(unnamed)" test -z "$(unnamed)"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROGRAM" 2>/dev/null & # a second: Ctrl+Print is the first's
told() { tree | tr '\r\n' '|#' | grep -qE $'Print\\.\\|?#Glimmerbox works on without it\\.\t'; }
wait_for 30 "the second program's message, both lines: Ctrl+Print is taken" told && kill $!

for shot in B C; do
    "$XTOOL" setroot "$T/$shot.png" && key ctrl+g
    wait_for 20 "the window hiding for the grab of $shot" gone '^Glimmerbox v1\.04$'
    wait_for 30 "the window back after the grab" shown '^Glimmerbox v1\.04$'
done
wait_for 20 "the reader hearing of shot 3" thumbnail "Shot 3, 1024 x 768, shown"
click_form 672 56 && copy first
check "the first thumbnail pastes the first screen" "$XTOOL" same "$T/first.png" "$T/A.png"
tab_to Tab "Shot 2" && key space
wait_for 20 "Space picking shot 2" thumbnail "Shot 2, 1024 x 768, shown"
copy second
check "the second thumbnail pastes the second screen" "$XTOOL" same "$T/second.png" "$T/B.png"

tab_to shift+Tab Preview
xdotool key --delay 50 ctrl+shift+Left ctrl+shift+Left ctrl+shift+Left shift+Up shift+Up \
    ctrl+Right ctrl+Right Right Down
wait_for 20 "the label following the keys" labelled "Crop Window Set = W994 x H766"
copy keyed
check "the keys marked 994 x 766 at 21 1" test "$("$XTOOL" find "$T/keyed.png" "$T/B.png")" == \
    "21 1 994 766"
tab_to Tab Preview && key Escape
wait_for 20 "Escape back to the whole shot" labelled "Entire Screen Shot Selected - W1024 x H768"

pages=$(pdfs)
key ctrl+p && wait_for 30 "the print preview" shown '^ Print Preview$'
activate "$(window '^ Print Preview$')" && xdotool key --delay 50 Left Left Left Left Left
wait_for 20 "the zoom at 50 %" reads slider Zoom "50 %"
check "every control of the print preview has a name: $(unnamed)" test -z "$(unnamed)"
xdotool key Tab Return
wait_for 60 "the page at 50 %" printed $((pages + 1))
pdfimages -png "$(newest)" "$T/half" && pdfimages -list "$(newest)" >"$T/list"
check "the page holds the screen at 192 pixels per inch" \
    awk 'NR == 3 { exit !($4 == 1024 && $5 == 768 && $13 == 192) }' "$T/list"
check "... and its pixels" "$XTOOL" same "$T/half-000.png" "$T/B.png"
wait_for 30 "the pop-up closing" gone '^Glimmerbox$'

save shot.jpg
djpeg -pnm "$T/shot.jpg" >"$T/shot.ppm"
check "the JPEG is the screen's size" test "$(sed -n 2p "$T/shot.ppm")" == "1024 768"
check "the JPEG looks like the screen" "$XTOOL" sheet "$T/shot.ppm" "$T/B.png" 0 0 1024 768
save shot.bmp Tab Down
check "the BMP holds the screen's pixels" "$XTOOL" same "$T/shot.bmp" "$T/B.png"
save shot.png Tab Down Down
check "the PNG holds the screen's pixels" "$XTOOL" same "$T/shot.png" "$T/B.png"

key F1 && wait_for 30 "the tips" shown '^Help - Tips$' && dismiss '^Help - Tips$'
key alt+h a && wait_for 30 "About, by the menu's access keys" shown '^ About Glimmerbox$'
activate "$(window '^ About Glimmerbox$')" && xdotool key alt+s
wait_for 30 "the desktop's System Information tool starting" test -e "$T/ran"
activate "$(window '^ About Glimmerbox$')" && xdotool key Escape
wait_for 30 "About closing on Escape" gone '^ About Glimmerbox$'

cupsreject "$QUEUE"
jobs=$(jobs_taken)
key ctrl+p && wait_for 30 "the print preview" shown '^ Print Preview$'
activate "$(window '^ Print Preview$')" && geometry "$(window '^ Print Preview$')"
xdotool mousemove $((X + 328)) $((Y + 148)) click 1 # its Print Now, by the mouse
wait_for 20 "a message that the printer did not take the page" says '^Print Now$' \
    "Nothing was printed: the printer \"$QUEUE\" did not take" # the box wraps here
dismiss '^Print Now$'
check "the queue took no job" test "$(jobs_taken)" -eq "$jobs"
said=$("$PROGRAM" --print-screen 2>&1) && status=0 || status=$?
check "--print-screen ends with status $status: $said" \
    test "$status" -ne 0 -a "${said%%:*}" == "glimmerbox" -a -z "${said##*did not take the page.}"
cupsaccept "$QUEUE"

# Ctrl+Print twice from another program's window: two pages of the screen as it is.
pages=$(pdfs)
xmessage -geometry +20+20 "another program" 2>/dev/null &
other() { xdotool search --onlyvisible --classname xmessage | head -n 1; }
wait_for 30 "another program's window" xdotool search --onlyvisible --classname xmessage
xdotool windowminimize "$MAIN"
activate "$(other)"
xdotool key ctrl+Print && wait_for 30 "the pop-up of the first Ctrl+Print" shown '^Glimmerbox$'
xdotool key ctrl+Print # the second during the first one's pop-up
wait_for 60 "the pages of Ctrl+Print" printed $((pages + 2))
wait_for 30 "the pop-up closing" gone '^Glimmerbox$'
"$XTOOL" dump "$T/other.png" # the screen as it was, the other program's window at the front
for n in 1 2; do check "Ctrl+Print $n printed the screen" page_shows $n "$T/other.png"; done
# Ctrl+Print during the pause of Grab Screen waits for that grab: two shots, neither with the
# window in it, and a page of the screen.
key ctrl+g && wait_for 20 "the window hiding for the grab" gone '^Glimmerbox v1\.04$'
xdotool key ctrl+Print
wait_for 60 "the page of Ctrl+Print during a grab" printed $((pages + 3))
wait_for 30 "two new shots, the last in slot 1" thumbnail "Shot 1, 1024 x 768, shown"
check "... the screen without the window" page_shows 1 "$T/other.png"
copy during && check "... and its shot" "$XTOOL" same "$T/during.png" "$T/other.png"
kill %xmessage

"$XTOOL" setroot "$T/C.png"
jobs=$(jobs_taken) pages=$(pdfs)
key ctrl+a && wait_for 30 "the Auto-Dump explanation" shown '^You have selected Auto-Dump mode\.$'
dismiss '^You have selected Auto-Dump mode\.$'
wait_for 30 "the window on the task bar as \"Click to Print Screen\"" waiting
# The program makes its pages one after another: a page that has come proves that none before it
# is still to come (a click's page for the time before it, Ctrl+Print's for the maximise).
for click in 1 2 3; do
    xdotool windowactivate "$MAIN" 2>/dev/null || true
    wait_for 60 "the page of click $click" printed $((pages + click))
    wait_for 30 "the window back on the task bar after click $click" waiting
    ((click > 1)) || check "no page before the first click" test "$(jobs_taken)" -eq $((jobs + 1))
done
for n in 1 2 3; do check "page $n is the bare screen" page_shows $n "$T/C.png"; done

# Not during the last click's pop-up, which would refuse any page the maximise asked for.
wait_for 30 "the pop-up closing" gone '^Glimmerbox$'
wmctrl -i -r "$MAIN" -b add,maximized_vert,maximized_horz
normal() { [[ $(caption) == Glimmerbox ]] && ! iconic && geometry "$MAIN" && ((W == 737)) &&
    ! xprop -id "$MAIN" _NET_WM_STATE | grep -q MAXIMIZED; }
wait_for 30 "the normal window captioned \"Glimmerbox\" at its own size" normal
check "three clicks, three pages: $(($(jobs_taken) - jobs))" test "$(jobs_taken)" -eq $((jobs + 3))
xdotool key ctrl+Print && wait_for 60 "the page of Ctrl+Print" printed $((pages + 4))
check "nothing printed" test "$(jobs_taken)" -eq $((jobs + 4))
# The main window is captioned "Glimmerbox" now too: the pop-up is the other one.
popup_gone() { (($(xdotool search --all --onlyvisible --pid "$PID" --name '^Glimmerbox$' |
    grep -cvx "$MAIN") == 0)); }
wait_for 30 "the pop-up closing" popup_gone

key alt+f x
timeout 30 tail --pid="$PID" -f /dev/null || fail "Glimmerbox still runs 30 s after Alt+F X"
check "Glimmerbox ended with status 0" wait "$PID" && PID=''
exit "$failed"
