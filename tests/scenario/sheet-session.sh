#!/usr/bin/env bash
# shellcheck disable=SC2046
# Every screen on paper, on an X screen of WIDTHxHEIGHT of its own and queues of its own for A4
# and Letter: the whole screen, the middle at 100 %, a marked area, and an Auto-Dump click, each
# page centred on the sheet and holding the screen's own pixels at 96 / zoom per inch.
#   sheet-session.sh XTOOL PROGRAM WIDTHxHEIGHT      GLIMMERBOX_INSTALLED wins over PROGRAM
set -euo pipefail
XTOOL=$1 PROGRAM=${GLIMMERBOX_INSTALLED:-$2} SIZE=$3 PID='' failed=0
# shellcheck source=session.sh
source "$(dirname "$(realpath "$0")")/session.sh"
read -r WIDTH HEIGHT <<<"${SIZE/x/ }"
QUEUES="A4$WIDTH Letter$WIDTH"
# A runtime folder of its own: the program there takes no requests meant for another one.
work_folder sheet-"$WIDTH" "$SIZE" 5
for paper in A4 Letter; do
    lpadmin -p "$paper$WIDTH" -E -v "cups-pdf:/$NAME" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o PageSize="$paper" 2>/dev/null || fail "the spooler did not take a queue for $paper"
done
calc() { awk "BEGIN { printf \"%s\", $1 }"; }

# next_page WHAT: waits for the next PDF, PDF, whose picture goes to $T/printed-000.png.
next_page() {
    pages=$((pages + 1))
    wait_for 60 "the page of $1" printed "$pages"
    PDF=$(newest 1)
    pdfimages -png "$PDF" "$T/printed"
}
# page WHAT ZOOM AREA-W AREA-H X Y W H: PDF is one page with one picture, the screen's pixels
# X Y W H at 96 / ZOOM pixels per inch, not smoothed, on the sheet where the area at ZOOM lands
# centred (a pixel either way for the renderer's rounding).
page() {
    local what=$1 zoom=$2 pdf=$PDF list bbox
    check "$what: one page" grep -q '^Pages: *1$' <(pdfinfo "$pdf")
    list=$(pdfimages -list "$pdf" | awk 'NR > 2 { print $4 "x" $5, $10, $13 "x" $14 }')
    local ppi && ppi=$(calc "int(96 / ($zoom) + 0.5)")
    check "$what: ${7}x$8 pixels at $ppi per inch, not smoothed: $list" \
        test "$list" == "${7}x$8 no ${ppi}x$ppi"
    check "$what: the screen's pixels $5 $6 $7 $8" \
        test "$("$XTOOL" find "$T/printed-000.png" "$T/screen.png")" == "$5 $6 $7 $8"
    pdftoppm -r 96 -png -singlefile "$pdf" "$T/sheet"
    bbox=$("$XTOOL" sheet "$T/sheet.png" "$T/screen.png" "${@:5}") || check "$what: $bbox" false
    local w && w=$(calc "($3 * $zoom < $SHEET_W) ? $3 * $zoom : $SHEET_W")
    local h && h=$(calc "($4 * $zoom < $SHEET_H) ? $4 * $zoom : $SHEET_H")
    check "$what: centred on the sheet ($bbox)" awk -v w="$w" -v h="$h" -v pw="$SHEET_W" \
        -v ph="$SHEET_H" '{ d[1] = $1 - (pw - w) / 2; d[2] = $2 - (ph - h) / 2
            d[3] = $3 - w; d[4] = $4 - h
            for (i in d) if (d[i] < -1.01 || d[i] > 1.01) exit 1 }' <<<"$bbox"
}
case $WIDTH in
1024) whole=(100) ;;
1920) whole=(50 Next Next) ;;
3840) whole=(25 Next Next Next) ;;
*) fail "no whole-screen zoom known for $SIZE" ;;
esac
pages=$(pdfs)
for paper in A4 Letter; do
    say "== $SIZE on $paper"
    SHEET_W=1122.52 SHEET_H=793.7
    [[ $paper == A4 ]] || SHEET_W=1056 SHEET_H=816
    PRINTER=$paper$WIDTH "$PROGRAM" &
    PID=$!
    wait_for 20 "the main window" shown '^Glimmerbox v' && MAIN=$(window '^Glimmerbox v')

    print_now "the whole screen" "${whole[@]:1}"
    next_page "the whole screen"
    page "the whole screen at ${whole[0]} %" "${whole[0]}/100" "$WIDTH" "$HEIGHT" \
        0 0 "$WIDTH" "$HEIGHT"
    if ((WIDTH > 1024)); then
        print_now "100 %"
        next_page "100 %"
        # The sheet's part of the screen, a part-pixel counting whole.
        read -r x y w h < <(awk -v W="$WIDTH" -v H="$HEIGHT" -v w="$SHEET_W" -v h="$SHEET_H" \
            'function up(v) { return v == int(v) ? v : int(v) + 1 }
            BEGIN { x = int((W - w) / 2); y = int((H - h) / 2)
                print x, y, up((W + w) / 2) - x, up((H + h) / 2) - y }')
        page "the middle at 100 %" 1 "$WIDTH" "$HEIGHT" "$x" "$y" "$w" "$h"
    fi

    activate "$MAIN"
    xdotool mousemove $(form 118 98) mousedown 1 mousemove $(form 268 198) mouseup 1
    print_now "a marked area"
    next_page "a marked area"
    read -r x y w h < <("$XTOOL" find "$T/printed-000.png" "$T/screen.png") ||
        fail "the marked area's picture is not part of the screen"
    page "a marked area at 100 %" 1 "$w" "$h" "$x" "$y" "$w" "$h"

    auto_dump_click
    next_page "an Auto-Dump click"
    zoom=$(calc "($SHEET_W / $WIDTH < $SHEET_H / $HEIGHT) ? $SHEET_W / $WIDTH : $SHEET_H / $HEIGHT")
    zoom=$(calc "$zoom < 1 ? $zoom : 1")
    page "an Auto-Dump click" "$zoom" "$WIDTH" "$HEIGHT" 0 0 "$WIDTH" "$HEIGHT"
    wait_for 30 "Glimmerbox back on the task bar" waiting
    kill "$PID"
    wait "$PID" 2>/dev/null || true # a killed program ends with non-0
    PID=''
done
exit "$failed"
