#include "ScrollBar.h"

#include "Accessibility.h"

#include <QPainter>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
    Accessibility::install();
    // A scroll bar's keys follow the view it scrolls (Up shows what is above, a lower value);
    // here they follow the value.
    setInvertedControls(false);
    // Qt's AT-SPI bridge carries the value as a bare number; the description carries its text.
    connect(this, &QAbstractSlider::valueChanged, this,
            [this] { setAccessibleDescription(valueText()); });
}

void ScrollBar::setValueSuffix(const QString &suffix)
{
    m_suffix = suffix;
    setAccessibleDescription(valueText());
}

QString ScrollBar::valueText() const
{
    return QString::number(value()) + m_suffix;
}

void ScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    Accessibility::paintFocusFrame(*this, painter, rect());
}
