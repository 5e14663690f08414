#pragma once

#include <QScrollBar>

// A scroll bar that sets a value rather than scrolling a view: the arrow and page keys and the
// wheel go the way of its numbers (Left, Down, Page Down and the wheel turned down lower it, as
// on a slider), it shows when it has the keyboard, and a reader hears its value with its unit.
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
