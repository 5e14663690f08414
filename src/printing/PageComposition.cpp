#include "PageComposition.h"

#include "capture/CropSelection.h"

#include <cmath>

PageComposition composePage(QSizeF page, QSizeF shot, const CropFractions &f, float zoom)
{
    const float pageW = float(page.width());
    const float pageH = float(page.height());
    const float shotW = float(shot.width());
    const float shotH = float(shot.height());
    const float left = (1.0f - f.XRw * zoom) * pageW / 2.0f;
    const float top = (1.0f - f.YRw * zoom) * pageH / 2.0f;
    const float width = f.XRw * zoom * pageW;
    const float height = f.YRw * zoom * pageH;
    const float sourceLeft = shotW * f.XRa;
    const float sourceTop = shotH * f.YRa;
    const float sourceWidth = shotW * f.XRw;
    const float sourceHeight = shotH * f.YRw;
    return {QRectF(left, top, width, height),
            QRectF(sourceLeft, sourceTop, sourceWidth, sourceHeight)};
}

QRect pagePlacement(QSize page, QSize area, float zoom)
{
    const int width = int(std::lround(double(area.width()) * double(zoom)));
    const int height = int(std::lround(double(area.height()) * double(zoom)));
    return QRect(int(std::floor((page.width() - width) / 2.0)),
                 int(std::floor((page.height() - height) / 2.0)), width, height);
}
