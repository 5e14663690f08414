# shellcheck shell=bash
# shellcheck disable=SC2034,SC2154 # failed is read, and q set, by the script or trap around
# Sourced by the sessions: checks, processes in the background, the program's X windows (PID, its
# main window MAIN) and the pages the spooler made (QUEUE, GLIMMERBOX_TEST_PDF_DIR); common.sh
# brings the bounded waits (wait_for), the test desktop and the work folders' end (discard).
# A script sets failed=0 and ends with exit "$failed".
# shellcheck source=../../scripts/lib/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
say() { printf '[%3d s] %s\n' "$SECONDS" "$*"; }
fail() { say "FAIL: $*" >&2 && exit 1; }
# check WHAT COMMAND...: a failed check is reported and the session goes on.
check() { if "${@:2}"; then say "ok: $1"; else say "FAIL: $1" >&2 && failed=1; fi; }
started() { # COMMAND...: in the background, its process in pids, which the script ends at exit
    "$@" &
    pids+=($!)
}
# work_folder NAME WxH SEED: T, a folder of the session's own with a runtime folder, the pages that
# the cups-pdf output NAME writes ($T/pdf) and an X screen of its own showing xtool's pattern SEED
# ($T/screen.png); it, the queues in QUEUES, the programs (PID, PIDS) and the X screen go at exit.
work_folder() {
    [[ -n ${CUPS_SERVER:-} ]] || fail "CUPS_SERVER unset: run it in scripts/test"
    T=$(mktemp -d "/tmp/glimmerbox-$1.XXXXXX") NAME=glimmerbox-$1-$$ PIDS=()
    trap 'set +e; kill -CONT "${PIDS[@]}" "$PID" 2>/dev/null; kill "${PIDS[@]}" "$PID" 2>/dev/null
        stop_started; for q in $QUEUES; do lpadmin -x "$q"; done
        rm -f "/etc/cups/cups-pdf-$NAME.conf"; discard "$T"' EXIT
    chmod 755 "$T" && mkdir -m 777 "$T/pdf" && mkdir -m 700 "$T/runtime"
    export GLIMMERBOX_TEST_PDF_DIR=$T/pdf XDG_RUNTIME_DIR=$T/runtime
    printf 'Out %s\nAnonDirName %s\n' "$T/pdf" "$T/pdf" >"/etc/cups/cups-pdf-$NAME.conf"
    start_desktop "$2" "$T" >/dev/null || fail "no X screen of $2"
    "$XTOOL" write-pattern "$T/screen.png" "${2%x*}" "${2#*x}" "$3" &&
        "$XTOOL" setroot "$T/screen.png"
}
window() { xdotool search --all --onlyvisible --pid "$PID" --name "$1" 2>/dev/null | head -n 1; }
shown() { [[ -n $(window "$1") ]]; }
gone() { [[ -z $(window "$1") ]]; }
caption() { xprop -id "$MAIN" _NET_WM_NAME | sed -n 's/^[^"]*"\(.*\)"$/\1/p'; }
iconic() { xprop -id "$MAIN" WM_STATE | grep -q 'window state: Iconic'; }
geometry() { # X Y W H of a window; with no window, xwininfo would wait for a click
    [[ -n $1 ]] && eval "$(xwininfo -id "$1" |
        sed -n 's/^ *Absolute upper-left \([XY]\): */\1=/p; s/^ *\([WH]\)[a-z]*: */\1=/p')"
}
active() { [[ $(xdotool getactivewindow) == "$1" ]]; }
activate() {
    timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    wait_for 20 "window $1 taking the keyboard" active "$1"
}
key() { activate "$MAIN" && xdotool key --clearmodifiers "$@"; }
form() { geometry "$MAIN" && echo $((X + $1)) $((Y + H - 488 + $2)); } # X Y of the 737x488 form
# shellcheck disable=SC2046 # form's X and Y are two words
click_form() { activate "$MAIN" && xdotool mousemove $(form "$1" "$2") click "${3:-1}"; }
dismiss() {
    activate "$(window "$1")" && xdotool key Return && wait_for 30 "$1 closing" gone "$1"
}
jobs_taken() { lpstat -W all -o "$QUEUE" | wc -l; }
pdfs() { find "$GLIMMERBOX_TEST_PDF_DIR" -name '*.pdf' | wc -l; }
# printed COUNT: COUNT PDFs in all, and no job left in the session's queues (QUEUES, else QUEUE):
# sessions beside it print on queues of their own on the same spooler.
# shellcheck disable=SC2086 # QUEUES holds several
printed() { (($(pdfs) >= $1)) && [[ -z $(lpstat -o ${QUEUES:-$QUEUE}) ]]; }
newest() { ls -t "$GLIMMERBOX_TEST_PDF_DIR"/*.pdf | sed -n "${1:-1}p"; }
waiting() { iconic && [[ $(caption) == "Click to Print Screen" ]]; } # Auto-Dump on the task bar
# print_now WHAT KEYS...: Print Now, the keys on the zoom bar (which has the keyboard first),
# then the Print Now button of the preview, and a click that closes the pop-up.
print_now() {
    key ctrl+p
    wait_for 30 "the print preview for $1" shown '^ Print Preview$'
    activate "$(window '^ Print Preview$')"
    xdotool key --delay 50 "${@:2}" Tab Return
    wait_for 30 "the print preview closing" gone '^ Print Preview$'
    close_popup
}
close_popup() {
    wait_for 30 "the pop-up" shown '^Glimmerbox$'
    xdotool mousemove --window "$(window '^Glimmerbox$')" 20 20 click 1
}
auto_dump_click() { # Auto-Dump, then a click on the window on the task bar, and its pop-up
    key ctrl+a && wait_for 30 "the Auto-Dump explanation" shown '^You have selected Auto-Dump'
    dismiss '^You have selected Auto-Dump mode\.$'
    wait_for 30 "Glimmerbox waiting on the task bar" waiting
    xdotool windowactivate "$MAIN" 2>/dev/null || true
    close_popup
}
copy() { # Ctrl+C and its pop-up; then another program pastes the picture into $T/NAME.png
    key ctrl+c
    wait_for 20 "the pop-up after Ctrl+C" shown '^Glimmerbox$'
    wait_for 30 "the pop-up closing" gone '^Glimmerbox$'
    timeout 60 xclip -selection clipboard -t image/png -o >"$T/$1.png" || fail "nothing to paste"
}
save() { # NAME.EXT KEYS...: the name typed without extension, KEYS choose the type, Return
    key ctrl+s
    wait_for 30 "the Save to File dialog" shown '^Save to File$'
    activate "$(window '^Save to File$')"
    xdotool key ctrl+a type --delay 20 "$T/${1%.*}"
    xdotool key --delay 100 "${@:2}" Return
    wait_for 30 "$1" test -f "$T/$1"
    wait_for 30 "the pop-up closing" gone '^Glimmerbox$'
}
