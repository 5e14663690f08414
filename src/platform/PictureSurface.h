#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <optional>

// A picture box's drawing surface: a persistent bitmap that keeps what is drawn into it, sized in
// twips like every control. Pictures are implicitly shared QImages, so assigning the same shot to
// several surfaces holds its pixels once; only drawing into a surface gives it its own copy.
class PictureSurface
{
public:
    enum class Scaling
    {
        Exact,
        Smooth
    };

    PictureSurface(float twipsPerPixelX, float twipsPerPixelY);

    float twipsPerPixelX() const { return m_tppX; }
    float twipsPerPixelY() const { return m_tppY; }

    // Border pixels on each side; the drawing area lies inside them.
    void setBorder(int pixels);
    int border() const { return m_border; }

    // Outer size in twips.
    float width() const;
    float height() const;
    void setWidth(double twips);
    void setHeight(double twips);
    void setOuterPixelSize(QSize pixels);
    QSize outerPixelSize() const { return m_outer; }

    // The drawing area, in twips (the scale unit) and in pixels.
    float scaleWidth() const;
    float scaleHeight() const;
    QSize drawingSize() const;

    // An auto-sizing surface takes the size of a picture assigned to it.
    void setAutoSize(bool on) { m_autoSize = on; }

    QColor backColor() const { return m_back; }
    void setBackColor(const QColor &color) { m_back = color; }

    // The assigned picture; a null image is the empty picture, which keeps the size and leaves
    // only the background colour.
    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    // The persistent bitmap as a picture.
    QImage image() const;

    // Clears the bitmap to the background colour.
    void cls();

    // Stretched copy of a picture, or of a source rectangle of it, into a destination rectangle.
    // Everything is in twips and stays fractional until the pixels are sampled.
    void paintPicture(const QImage &picture, const QRectF &destination,
                      const std::optional<QRectF> &source = std::nullopt,
                      Scaling scaling = Scaling::Exact);

    // Block transfer in pixels, one to one, the way a device context is drawn on.
    void bitBlt(const QImage &source, QPoint destination);

private:
    QImage &bitmap();
    void resized();

    float m_tppX;
    float m_tppY;
    int m_border = 0;
    QSize m_outer;
    bool m_autoSize = false;
    QColor m_back = Qt::white;
    QImage m_picture;
    mutable QImage m_bitmap; // null until first needed
};
