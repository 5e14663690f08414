#include "FormBackground.h"

#include "FormLayout.h"
#include "designcontrols/Twips.h"

#include <QPainter>

#include <cmath>

FormBackground::FormBackground(float twipsPerPixelX, float twipsPerPixelY, QWidget *parent)
    : QWidget(parent)
    , m_texture(QStringLiteral(":/glimmerbox/texture.png"))
    , m_tppX(twipsPerPixelX)
    , m_tppY(twipsPerPixelY)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormBackground::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.drawImage(QPoint(0, 0), m_texture);

    auto line = [&](const FormLayout::Line &l, const QColor &color) {
        painter.setPen(QPen(color, 1));
        painter.drawLine(QPoint(twipsToPixels(l.x1, m_tppX), twipsToPixels(l.y1, m_tppY)),
                         QPoint(twipsToPixels(l.x2, m_tppX), twipsToPixels(l.y2, m_tppY)));
    };
    const QColor lightGrey(0xc0, 0xc0, 0xc0);
    line(FormLayout::Line4, palette().color(QPalette::WindowText));
    line(FormLayout::Line1, lightGrey);
    line(FormLayout::Line3, Qt::black);
    line(FormLayout::Line2, lightGrey);
}
