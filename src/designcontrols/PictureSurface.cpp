#include "PictureSurface.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QImage opaque(const QImage &picture)
{
    if (picture.format() == QImage::Format_RGB32)
        return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

PictureSurface::PictureSurface(float twipsPerPixelX, float twipsPerPixelY)
    : m_tppX(twipsPerPixelX)
    , m_tppY(twipsPerPixelY)
{}

void PictureSurface::setBorder(int pixels)
{
    m_border = pixels;
    resized();
}

float PictureSurface::width() const
{
    return float(m_outer.width()) * m_tppX;
}

float PictureSurface::height() const
{
    return float(m_outer.height()) * m_tppY;
}

void PictureSurface::setOuterPixelSize(QSize pixels)
{
    if (pixels == m_outer)
        return;
    m_outer = pixels;
    resized();
}

float PictureSurface::scaleWidth() const
{
    return float(drawingSize().width()) * m_tppX;
}

float PictureSurface::scaleHeight() const
{
    return float(drawingSize().height()) * m_tppY;
}

QSize PictureSurface::drawingSize() const
{
    return QSize(std::max(0, m_outer.width() - 2 * m_border),
                 std::max(0, m_outer.height() - 2 * m_border));
}

void PictureSurface::resized()
{
    // The bitmap is rebuilt lazily from the background and the picture, so that a resize that is
    // about to be covered by a full-size transfer costs nothing.
    m_bitmap = QImage();
}

void PictureSurface::setPicture(const QImage &picture)
{
    m_picture = picture.isNull() ? QImage() : opaque(picture);
    if (m_autoSize && !m_picture.isNull()) {
        const QSize size = m_picture.size() + QSize(2 * m_border, 2 * m_border);
        m_outer = size;
    }
    m_bitmap = QImage();
}

QImage PictureSurface::image() const
{
    return const_cast<PictureSurface *>(this)->bitmap();
}

QImage &PictureSurface::bitmap()
{
    const QSize size = drawingSize();
    if (!m_bitmap.isNull() && m_bitmap.size() == size)
        return m_bitmap;
    if (!m_picture.isNull() && m_picture.size() == size) {
        m_bitmap = m_picture; // shared, not copied
        return m_bitmap;
    }
    m_bitmap = QImage(size, QImage::Format_RGB32);
    m_bitmap.fill(m_back);
    if (!m_picture.isNull() && !size.isEmpty()) {
        QPainter painter(&m_bitmap);
        painter.drawImage(QPoint(0, 0), m_picture);
    }
    return m_bitmap;
}

void PictureSurface::paintPicture(const QImage &picture, const QRectF &destination)
{
    QImage &target = bitmap();
    if (target.isNull() || picture.isNull())
        return;
    const QRectF dest(destination.x() / m_tppX, destination.y() / m_tppY,
                      destination.width() / m_tppX, destination.height() / m_tppY);
    if (dest.isEmpty())
        return;
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(dest, picture);
}

void PictureSurface::bitBlt(const QImage &source)
{
    // Adopted, not copied: the screen a grab read is held once.
    if (!source.isNull() && source.size() == drawingSize())
        m_bitmap = opaque(source);
}
