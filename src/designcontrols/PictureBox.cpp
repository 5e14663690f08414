#include "PictureBox.h"

#include "Accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int buttonsCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

} // namespace

PictureBox::PictureBox(float twipsPerPixelX, float twipsPerPixelY, QWidget *parent)
    : QWidget(parent)
    , m_surface(twipsPerPixelX, twipsPerPixelY)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    Accessibility::install();
}

void PictureBox::place(const QRect &geometry)
{
    setGeometry(geometry);
    // A hidden widget gets its resize event only when shown; drawing may come before that.
    m_surface.setOuterPixelSize(geometry.size());
    syncShown();
}

void PictureBox::setBorder(int pixels)
{
    m_surface.setBorder(pixels);
    syncShown();
}

void PictureBox::setLook(Look look)
{
    m_look = look;
    update();
}

void PictureBox::resizeEvent(QResizeEvent *)
{
    if (m_surface.outerPixelSize() == size())
        return;
    m_surface.setOuterPixelSize(size());
    syncShown();
}

void PictureBox::paintPicture(const QImage &picture, const QRectF &destination)
{
    m_surface.paintPicture(picture, destination);
    syncShown();
}

void PictureBox::drawInvertedBox(QPointF corner1, QPointF corner2)
{
    if (m_shown.isNull())
        return;
    const float tx = m_surface.twipsPerPixelX();
    const float ty = m_surface.twipsPerPixelY();
    // Pixel edges of the outline; the pen lies inside the box, like a solid GDI frame.
    const int left = int(std::floor(std::min(corner1.x(), corner2.x()) / tx));
    const int right = int(std::floor(std::max(corner1.x(), corner2.x()) / tx));
    const int top = int(std::floor(std::min(corner1.y(), corner2.y()) / ty));
    const int bottom = int(std::floor(std::max(corner1.y(), corner2.y()) / ty));
    // An edge on the far border of the drawing area is drawn on its last pixel, not beyond it.
    const int lastX = m_shown.width() - 1;
    const int lastY = m_shown.height() - 1;
    const int clampedRight = std::clamp(right, 0, lastX);
    const int clampedBottom = std::clamp(bottom, 0, lastY);
    // Each pixel is inverted exactly once, even where the edges meet, so that a second draw in
    // the same place restores the picture.
    QImage region(m_shown.size(), QImage::Format_Mono);
    region.fill(0);
    const int w = m_lineWidth;
    auto mark = [&](int x0, int y0, int x1, int y1) {
        for (int y = std::max(0, y0); y <= std::min(region.height() - 1, y1); ++y)
            for (int x = std::max(0, x0); x <= std::min(region.width() - 1, x1); ++x)
                region.setPixel(x, y, 1);
    };
    mark(left, top, clampedRight, top + w - 1);
    mark(left, clampedBottom - w + 1, clampedRight, clampedBottom);
    mark(left, top, left + w - 1, clampedBottom);
    mark(clampedRight - w + 1, top, clampedRight, clampedBottom);
    for (int y = std::max(0, top); y <= clampedBottom; ++y) {
        auto *row = reinterpret_cast<QRgb *>(m_shown.scanLine(y));
        for (int x = std::max(0, left); x <= clampedRight; ++x)
            if (region.pixelIndex(x, y))
                row[x] = (~row[x] & 0x00ffffff) | 0xff000000;
    }
    update();
}

void PictureBox::refresh()
{
    syncShown();
    repaint();
}

QImage PictureBox::shown() const
{
    return m_shown;
}

void PictureBox::syncShown()
{
    m_shown = m_surface.image();
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect outer = rect();
    const int b = m_surface.border();
    if (b > 0) {
        painter.fillRect(outer, palette().color(QPalette::Window));
        if (m_look == Look::Flat) {
            painter.setPen(QColor(0x80, 0x80, 0x80));
            painter.drawRect(outer.adjusted(0, 0, -1, -1));
        } else if (m_look == Look::Sunken) {
            // Classic bevel: shadow above and left, light below and right, one ring per pixel.
            const QColor dark[] = {QColor(0x80, 0x80, 0x80), QColor(0x40, 0x40, 0x40)};
            const QColor light[] = {QColor(0xff, 0xff, 0xff), QColor(0xd4, 0xd0, 0xc8)};
            for (int ring = 0; ring < b; ++ring) {
                const QRect r = outer.adjusted(ring, ring, -ring, -ring);
                painter.setPen(dark[std::min(ring, 1)]);
                painter.drawLine(r.topLeft(), r.topRight());
                painter.drawLine(r.topLeft(), r.bottomLeft());
                painter.setPen(light[std::min(ring, 1)]);
                painter.drawLine(r.bottomLeft(), r.bottomRight());
                painter.drawLine(r.topRight(), r.bottomRight());
            }
            if (b == 1) {
                // One pixel is not enough for a bevel to read as sunken: darken it.
                painter.setPen(QColor(0x20, 0x20, 0x20));
                painter.drawLine(outer.topLeft(), outer.topRight());
                painter.drawLine(outer.topLeft(), outer.bottomLeft());
            }
        }
    }
    if (!m_shown.isNull())
        painter.drawImage(QPoint(b, b), m_shown);
    if (hasFocus())
        Accessibility::paintFocusFrame(*this, painter, outer.adjusted(b, b, -b, -b));
}

QPointF PictureBox::toTwips(QPointF widgetPosition) const
{
    const int b = m_surface.border();
    return QPointF((widgetPosition.x() - b) * m_surface.twipsPerPixelX(),
                   (widgetPosition.y() - b) * m_surface.twipsPerPixelY());
}

bool PictureBox::inDrawingArea(QPointF widgetPosition) const
{
    const int b = m_surface.border();
    return QRectF(b, b, width() - 2 * b, height() - 2 * b).contains(widgetPosition);
}

// Like a window's client area, only the drawing area reports the mouse: a press on the border
// starts nothing, and what follows it until every button is up is not reported either.
void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->buttons() == event->button())
        m_pressOnBorder = !inDrawingArea(event->position());
    if (m_pressOnBorder)
        return;
    const QPointF p = toTwips(event->position());
    emit mouseDown(buttonCode(event->button()), float(p.x()), float(p.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton ? !inDrawingArea(event->position()) : m_pressOnBorder)
        return;
    const QPointF p = toTwips(event->position());
    emit mouseMove(buttonsCode(event->buttons()), float(p.x()), float(p.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool skip = m_pressOnBorder;
    if (event->buttons() == Qt::NoButton)
        m_pressOnBorder = false;
    if (skip)
        return;
    const QPointF p = toTwips(event->position());
    emit mouseUp(buttonCode(event->button()), float(p.x()), float(p.y()));
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool press = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (m_role == QAccessible::Button && press &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            emit pressed();
        return;
    }
    emit keyDown(key, event->modifiers());
    QWidget::keyPressEvent(event);
}
