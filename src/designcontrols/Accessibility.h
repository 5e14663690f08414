#pragma once

#include <QLabel>
#include <QString>

class QRect;
class QPainter;
class QWidget;

// What a screen reader hears of the design's own controls. Qt knows its widgets; the picture
// boxes and the zoom bar are ours, so their roles, actions and values come from here.
namespace Accessibility {

// Makes the interfaces below the ones Qt hands out; safe to call again.
void install();

// A caption that describes the control it is the buddy of: the text is set on the label and the
// control's accessible description follows it, so a reader hears the change.
void setCaption(QLabel &label, const QString &text);

// The focus frame Qt's style draws on a focused button, on any of our controls.
void paintFocusFrame(QWidget &control, QPainter &painter, const QRect &area);

} // namespace Accessibility

// A label whose text only repeats another's (the shadow behind raised lettering): a screen
// reader leaves it out, so the text is read once.
class DecorativeLabel : public QLabel
{
    Q_OBJECT

public:
    explicit DecorativeLabel(QWidget *parent = nullptr);
};
