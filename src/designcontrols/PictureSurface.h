#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

// A picture box's drawing surface: a persistent bitmap that keeps what is drawn into it, sized in
// twips like every control. Pictures are implicitly shared QImages, so assigning the same shot to
// several surfaces holds its pixels once; only drawing into a surface gives it its own copy.
class PictureSurface
{
public:
    PictureSurface(float twipsPerPixelX, float twipsPerPixelY);

    float twipsPerPixelX() const { return m_tppX; }
    float twipsPerPixelY() const { return m_tppY; }

    // Border pixels on each side; the drawing area lies inside them.
    void setBorder(int pixels);
    int border() const { return m_border; }

    // Outer size in twips.
    float width() const;
    float height() const;
    void setOuterPixelSize(QSize pixels);
    QSize outerPixelSize() const { return m_outer; }

    // The drawing area, in twips (the scale unit) and in pixels.
    float scaleWidth() const;
    float scaleHeight() const;
    QSize drawingSize() const;

    // An auto-sizing surface takes the size of a picture assigned to it.
    void setAutoSize(bool on) { m_autoSize = on; }

    void setBackColor(const QColor &color) { m_back = color; }

    // A null image is the empty picture, which keeps the size and leaves only the background
    // colour.
    void setPicture(const QImage &picture);

    // The persistent bitmap as a picture.
    QImage image() const;

    // A picture smoothly stretched over a destination rectangle in twips, which stays
    // fractional until the pixels are sampled.
    void paintPicture(const QImage &picture, const QRectF &destination);

    // The whole drawing area taken over from a picture of its size, pixel for pixel.
    void bitBlt(const QImage &source);

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
