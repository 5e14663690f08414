#include "SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Sums of floating-point lengths land a hair beside a pixel edge they meet exactly; that hair
// must not add a pixel that is not on the sheet.
constexpr double Hair = 1e-6;

} // namespace

SheetPlacement placeOnSheet(QSizeF printable, const QRect &area, double zoom)
{
    const QSizeF size = QSizeF(area.size()) * zoom;
    const QRectF picture(
        QPointF(printable.width() - size.width(), printable.height() - size.height()) / 2, size);
    const QRectF onSheet = picture.intersected(QRectF(QPointF(0, 0), printable));
    if (onSheet.isEmpty() || zoom <= 0)
        return {};
    const int left = int(std::floor((onSheet.left() - picture.left()) / zoom + Hair));
    const int top = int(std::floor((onSheet.top() - picture.top()) / zoom + Hair));
    const int right = int(std::ceil((onSheet.right() - picture.left()) / zoom - Hair));
    const int bottom = int(std::ceil((onSheet.bottom() - picture.top()) / zoom - Hair));
    const QRect source(area.x() + left, area.y() + top, right - left, bottom - top);
    const QRectF target(picture.left() + left * zoom, picture.top() + top * zoom,
                        source.width() * zoom, source.height() * zoom);
    return {source, target};
}

double fittingZoom(QSizeF printable, QSize area)
{
    if (area.isEmpty())
        return 1;
    return std::min(printable.width() / area.width(), printable.height() / area.height());
}

double wholeAreaZoom(QSizeF printable, QSize area)
{
    return std::min(1.0, fittingZoom(printable, area));
}

int lowestZoomPercent(QSizeF printable, QSize area)
{
    const int fits = int(std::floor(fittingZoom(printable, area) * 100 + Hair));
    return std::clamp(fits, 1, 25);
}

QRect sheetInBox(QSize box, QSizeF printable)
{
    if (printable.isEmpty())
        return {};
    const QSize shown = printable.scaled(QSizeF(box), Qt::KeepAspectRatio).toSize();
    return QRect(QPoint((box.width() - shown.width()) / 2, (box.height() - shown.height()) / 2),
                 shown);
}
