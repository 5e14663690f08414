#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>

// Where the printed area (the whole shot or the part of it the user marked) lands on the sheet.
// Lengths on the sheet are in 1/96 inch from the top-left corner of its printable area, so that
// at zoom 1 one screen pixel is printed at its true size; the area is in shot pixels.
struct SheetPlacement
{
    QRect source;  // the shot's pixels that land on the sheet, a part-pixel counting whole
    QRectF target; // where those pixels go
};

SheetPlacement placeOnSheet(QSizeF printable, const QRect &area, double zoom);

// The largest zoom at which the whole area fits the printable area.
double fittingZoom(QSizeF printable, QSize area);

// What a one-click print uses: true size where the area fits, else the largest zoom that fits.
double wholeAreaZoom(QSizeF printable, QSize area);

// The zoom bar's lowest percentage: 25, or where even that is too large for the sheet, the
// largest whole percentage at which the whole area fits.
int lowestZoomPercent(QSizeF printable, QSize area);

// The sheet as a box of the given size shows it: in its own proportions, as large as fits,
// centred, in whole pixels.
QRect sheetInBox(QSize box, QSizeF printable);
