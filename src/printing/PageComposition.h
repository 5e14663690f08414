#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>

struct CropFractions;

// Where the printed area (the whole shot or its crop) lands on a page image, and which part of
// the shot it shows: drawn at zoom times its own share of the page, centred. Every value is a
// single-precision number and nothing is rounded.
struct PageComposition
{
    QRectF destination;
    QRectF source;
};

PageComposition composePage(QSizeF page, QSizeF shot, const CropFractions &fractions, float zoom);

// Where a marked area of the shot lands on the page image, in whole pixels: its size at the zoom,
// centred. At 100 % every pixel of the area is copied as it is, with nothing resampled.
QRect pagePlacement(QSize page, QSize area, float zoom);
