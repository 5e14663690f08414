#!/usr/bin/env bash
# shellcheck disable=SC1091,SC2016,SC2086,SC2317
# Printers whose margins all differ, a PPD queue (cups-pdf) and driverless ones (ippeveprinter: PWG,
# then Apple raster), A4 and Letter, from a 1920x1080 screen: --print-screen, Print Now at 50 and
# 100 %, an Auto-Dump click; each page holds the screen centred on the printable area. XTOOL PROGRAM
set -euo pipefail
XTOOL=$1 PROGRAM=${GLIMMERBOX_INSTALLED:-$2} PID='' failed=0 WIDTH=1920 HEIGHT=1080
source "$(dirname "$(realpath "$0")")/session.sh"
QUEUES="Ppd$$" && work_folder printers "${WIDTH}x$HEIGHT" 5
declare -A SHEET=( # portrait paper and margins, points: width height left right top bottom
    [PpdA4]="595 842 12 30 6 42" [PpdLetter]="612 792 9 27 18 45"
    [PwgA4]="595.28 841.89 9.64 9.64 2.89 33.11" [PwgLetter]="612 792 18 18 2.89 33.11"
    [UrfA4]="595.28 841.89 9.64 18 2.89 33.11" [UrfLetter]="612 792 9.64 18 2.89 33.11")
sed -e 's|^\(\*ImageableArea A4/A4:\).*|\1 "12 42 565 836"|' \
    -e 's|^\(\*ImageableArea Letter/US Letter:\).*|\1 "9 45 585 774"|' \
    -e '$a *OpenUI *ColorModel: PickOne\n*DefaultColorModel: RGB\n*ColorModel Gray: ""' \
    -e '$a *ColorModel RGB: ""\n*CloseUI: *ColorModel' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    >"$T/margins.ppd"
lpadmin -p "Ppd$$" -E -v "cups-pdf:/$NAME" -P "$T/margins.ppd" 2>/dev/null ||
    fail "the spooler did not take a queue with the margins' PPD"

# Driverless printers: ippeveprinter's own taking PWG raster (300 dpi in draft), one that also
# takes Apple raster, which CUPS then sends (150 dpi); rastertopdf makes PDFs of their pages.
dbus-daemon --session --nofork --address="unix:path=$T/bus" >"$T/bus.log" 2>&1 & STARTED_PIDS+=($!)
wait_for 30 "a D-Bus bus for ippeveprinter" test -S "$T/bus"
printf '#!/bin/sh\nexec %s 1 - - 1 "" "$1" >"%s/${1##*/}.pdf"\n' \
    /usr/lib/cups/filter/rastertopdf "$T/pdf" >"$T/topdf" && chmod 755 "$T/topdf"
cat >"$T/urf.conf" <<EOF
ATTR keyword media-supported iso_a4_210x297mm,na_letter_8.5x11in ATTR boolean color-supported true
ATTR collection media-size-supported {MEMBER integer x-dimension 21000 MEMBER integer
    y-dimension 29700},{MEMBER integer x-dimension 21590 MEMBER integer y-dimension 27940}
ATTR integer media-left-margin-supported 340 ATTR integer media-right-margin-supported 635
ATTR integer media-top-margin-supported 102 ATTR integer media-bottom-margin-supported 1168
ATTR keyword urf-supported V1.4,SRGB24,RS150
EOF
listening() { (: <>"/dev/tcp/localhost/$1") 2>/dev/null; } # a connection is taken
described() { lpoptions -p "$1" | grep -q "IPP Everywhere"; } # CUPS has made its PPD
port=8631 options=(-f image/pwg-raster -s "10,10")
for q in Pwg Urf; do
    while listening $port; do port=$((port + 1)); done
    DBUS_SYSTEM_BUS_ADDRESS=unix:path=$T/bus ippeveprinter -r off -p "$port" "${options[@]}" \
        -c "$T/topdf" -k -d "$T" "$q$$" >"$T/$q.log" 2>&1 &
    STARTED_PIDS+=($!) QUEUES+=" $q$$" options=(-a "$T/urf.conf")
    wait_for 30 "ippeveprinter on port $port (see $T/$q.log)" listening $port
    lpadmin -p "$q$$" -E -v "ipp://localhost:$((port++))/ipp/print" -m everywhere \
        -o print-quality-default=3 || fail "the spooler did not take the printer $q"
    wait_for 20 "the description of the printer $q" described "$q$$"
done

# page WHAT ZOOM: the next page holds the middle of the screen at ZOOM (or the fitting zoom), as
# much as the printable area takes, turned onto the paper, its edges (left top right bottom at $RES
# dpi) centred on the printable area to 1.5 points: CUPS's raster filters alone may be 1.2 off.
page() {
    what="$q $paper, $1" want=$(awk -v z="$2" -v W=$WIDTH -v H=$HEIGHT -v k=$RES '
        function up(v) { return v == int(v) ? v : int(v) + 1 }
        { k /= 72; pw = $2 - $5 - $6; ph = $1 - $3 - $4 # the landscape printable area
        if (z == "fit") z = pw / W < ph / H ? pw / W / 0.75 : ph / H / 0.75
        z = z < 1 ? z : 1; sw = pw / 0.75 / z; sh = ph / 0.75 / z
        x = sw < W ? int((W - sw) / 2) : 0; y = sh < H ? int((H - sh) / 2) : 0
        lw = W * 0.75 * z < pw ? W * 0.75 * z : pw; lh = H * 0.75 * z < ph ? H * 0.75 * z : ph
        l = ($3 + (ph - lh) / 2) * k; t = ($5 + (pw - lw) / 2) * k
        printf "%d %d %d %d %.1f %.1f %.1f %.1f", x, y, sw < W ? up((W + sw) / 2) - x : W,
            sh < H ? up((H + sh) / 2) - y : H, l, t, l + lh * k, t + lw * k }' \
        <<<"${SHEET[$q$paper]}")
    pages=$((pages + 1)) && wait_for 60 "the page of $what" printed "$pages" && pdf=$(newest 1)
    [[ $q == Ppd || $pdf == *.${q,,}.pdf ]] || check "$what: ${q^^} raster, not $pdf" false
    gs -q -dNOPAUSE -dBATCH -sDEVICE=png16m -r$RES -sOutputFile="$T/page.png" "$pdf"
    at=$("$XTOOL" sheet "$T/page.png" "$T/screen.png" ${want% * * * *}) ||
        check "$what: the screen's pixels ${want% * * * *} ($at)" false
    at=$(convert "$T/page.png" -bordercolor white -border 1 -colorspace Gray -threshold 97% \
        -format '%@' info: | awk -F '[x+]' '{ print $3 - 1, $4 - 1, $3 + $1 - 1, $4 + $2 - 1 }')
    check "$what: $at, centred on the printable area: ${want#* * * * }" awk -v d=$((RES / 48)) \
        '{ for (i = 1; i <= 4; i++) if (($i - $(i + 8)) ^ 2 > d * d) exit 1 }' <<<"$at $want"
}

pages=$(pdfs)
for q in Ppd Pwg Urf; do
    RES=150 && [[ $q != Pwg ]] || RES=300 # the PWG raster comes at 300 dpi
    for paper in A4 Letter; do
        say "== $q on $paper"
        lpadmin -p "$q$$" -o PageSize="$paper"
        PRINTER=$q$$ "$PROGRAM" --print-screen || check "$q $paper: --print-screen printed" false
        page "--print-screen" fit
        PRINTER=$q$$ "$PROGRAM" & PID=$!
        wait_for 20 "the main window" shown '^Glimmerbox v' && MAIN=$(window '^Glimmerbox v')
        print_now "50 %" Next Next && page "Print Now at 50 %" 0.5
        print_now "100 %" && page "Print Now at 100 %" 1
        auto_dump_click && page "an Auto-Dump click" fit
        wait_for 30 "Glimmerbox back on the task bar" waiting
        kill "$PID" && wait "$PID" 2>/dev/null || PID='' # a killed program ends with non-0
    done
done
exit "$failed"
