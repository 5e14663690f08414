#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace TestPattern {

// A 4 x 4 grid of distinct colours with a little per-pixel grain: any shift of a single pixel
// changes many pixels, while a scaled-down copy still shows the block colours.
QImage make(QSize size, int seed = 0);

// The colour of block (column, row) without its grain.
QRgb blockColour(int column, int row, int seed = 0);

// Mean absolute difference per channel between two images of the same size; -1 if sizes differ.
double meanDifference(const QImage &a, const QImage &b);

// Number of pixels that differ.
qsizetype differingPixels(const QImage &a, const QImage &b);
// Whether every pixel of the area is white.
bool isWhite(const QImage &image, const QRect &area);

} // namespace TestPattern
