#!/usr/bin/env bash
# The short part of a user's session with glimmerbox.exe under Wine, started from its folder
# alone and looked at only from outside: its first shot, pasted by another program, is the X
# screen pixel for pixel; Print Now sends one landscape page at 96 pixels per inch to the
# spooler, Ctrl+Print and --print-screen a page each; Ctrl+X ends it.   wine-session.sh XTOOL
set -euo pipefail
xtool=$(realpath "$1")
fail() {
    echo "wine-session: $*" >&2
    xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | sed 's/^/  shown: /' >&2
    exit 1
}
# What scripts/test sets up: its absence ends the run at once, with the setting's name.
: "${DISPLAY:?}" "${WINEPREFIX:?}" "${GLIMMERBOX_WINDOWS_DIR:?}" "${GLIMMERBOX_TEST_PDF_DIR:?}"
# shellcheck source=../../scripts/lib/common.sh
source "$(dirname "$0")/../../scripts/lib/common.sh"
visible() { xdotool search --onlyvisible --limit 1 --name "$1"; }
# The confirmation pop-up, captioned like the program, takes the keys until it closes.
no_popup() { ! visible '^Glimmerbox$'; }
on_clipboard() { timeout 30 xclip -selection clipboard -t TARGETS -o | grep -qx image/bmp; }
pdfs() { find "$GLIMMERBOX_TEST_PDF_DIR" -name '*.pdf' | wc -l; }
printed() { (($(pdfs) > before)) && [[ -z $(lpstat -o) ]]; }
ended() { ! kill -0 "$program"; }
press() {
    timeout 30 xdotool windowactivate --sync "$main" key --clearmodifiers "$1" ||
        fail "the main window did not take $1"
}

work=$(mktemp -d /tmp/glimmerbox-wine.XXXXXX)
"$xtool" pattern 41
"$xtool" dump "$work/screen.png"
read -r width height < <(xdotool getdisplaygeometry)
cd "$GLIMMERBOX_WINDOWS_DIR"
unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH # as a user starts it: DLLs from its folder alone
"${GLIMMERBOX_WINE64:-/usr/lib/wine/wine64}" glimmerbox.exe &
program=$!
trap 'kill $program 2>/dev/null || true; discard "$work"' EXIT

# The first start in a fresh Wine prefix takes several seconds.
wait_for 60 "the main window" visible '^Glimmerbox v'
main=$(visible '^Glimmerbox v')
press ctrl+c
wait_for 30 "a picture on the clipboard" on_clipboard
timeout 30 xclip -selection clipboard -t image/bmp -o >"$work/pasted.bmp"
"$xtool" same "$work/pasted.bmp" "$work/screen.png" || fail "the pasted shot is not the screen"

wait_for 30 "the copy's pop-up closing" no_popup
before=$(pdfs)
press ctrl+p
wait_for 20 "the print preview" visible '^ Print Preview$'
preview=$(visible '^ Print Preview$')
# Print Now where the form puts it (4440, 1920 twips, 975 x 615 in size; 15 twips a pixel), as
# a user clicks it: which control has the focus first is the platform's choice.
timeout 30 xdotool windowactivate --sync "$preview" mousemove --window "$preview" 328 148 click 1
wait_for 60 "a page through the spooler" printed
pdf=$(ls -t "$GLIMMERBOX_TEST_PDF_DIR"/*.pdf | head -1)
(($(pdfs) == before + 1)) || fail "more than one job reached the spooler"
pdfinfo "$pdf" | grep -Eq '^Pages: +1$' || fail "$pdf does not hold one page"
# cups-pdf writes a landscape page as a portrait one, turned.
pdfinfo "$pdf" | grep -Eq '^Page rot: +(90|270)$' || fail "$pdf is not landscape"
# The columns: page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
images=$(pdfimages -list "$pdf" | awk 'NR > 2 { print $4 "x" $5, $13, $14 }')
[[ $images == "${width}x$height 96 96" ]] ||
    fail "$pdf holds [$images], not the ${width}x$height screen at 96 pixels per inch"
pdfimages -png "$pdf" "$work/printed"
"$xtool" same "$work/printed-000.png" "$work/screen.png" ||
    fail "the printed picture is not the screen"

wait_for 30 "the print's pop-up closing" no_popup
# The hot key, and --print-screen handed to the running program: a page each.
before=$(pdfs)
press ctrl+Print
wait_for 60 "the page of Ctrl+Print" printed
wait_for 30 "the pop-up after Ctrl+Print closing" no_popup
before=$(pdfs)
timeout 120 "${GLIMMERBOX_WINE64:-/usr/lib/wine/wine64}" glimmerbox.exe --print-screen ||
    fail "--print-screen ended with status $?"
wait_for 60 "the page of --print-screen" printed
press ctrl+x
wait_for 30 "the program ending on Ctrl+X" ended
wait "$program" || fail "the program ended with status $?"
echo "wine-session: passed"
