#pragma once

#include <QPoint>
#include <QRect>

#include <cmath>

// Windows are designed in twips (1440 per inch); the screen says how many twips one pixel is
// (15 at 96 dpi). Every place and size is rounded to the nearest pixel on its own, so a control
// keeps its designed size wherever it sits.
inline int twipsToPixels(double twips, float twipsPerPixel)
{
    return int(std::lround(twips / twipsPerPixel));
}

inline QRect twipsToPixels(double left, double top, double width, double height, float tx, float ty)
{
    return QRect(twipsToPixels(left, tx), twipsToPixels(top, ty), twipsToPixels(width, tx),
                 twipsToPixels(height, ty));
}

// Places controls designed in twips on a screen of the given resolution.
struct TwipsScale
{
    float tx;
    float ty;
    QRect operator()(double left, double top, double width, double height) const
    {
        return twipsToPixels(left, top, width, height, tx, ty);
    }
};
