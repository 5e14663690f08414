#pragma once

#include <QScrollBar>

// A scroll bar that sets a value rather than scrolling a view: the arrow keys go the way of its
// numbers (Left and Down lower, Right and Up raise, as on a slider), it shows when it has the
// keyboard, and a screen reader hears its value with its unit ("50 %").
class ScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    void setValueSuffix(const QString &suffix);
    QString valueText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_suffix;
};
