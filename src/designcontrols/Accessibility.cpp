#include "Accessibility.h"

#include "PictureBox.h"
#include "ScrollBar.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPainter>
#include <QRegion>
#include <QStyleOptionFocusRect>

namespace {

// A picture box is a graphic, or a button with a Press action that does what a click does.
class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : QAccessibleWidget(box)
    {}

    QAccessible::Role role() const override { return box()->accessibleRole(); }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (role() == QAccessible::Button)
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &name) override
    {
        if (name == pressAction() && role() == QAccessible::Button)
            box()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    PictureBox *box() const { return static_cast<PictureBox *>(widget()); }
};

// The value of a scroll bar as a number and as its text with the unit.
class ScrollBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ScrollBarAccessible(ScrollBar *bar)
        : QAccessibleWidget(bar, QAccessible::Slider)
    {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? bar()->valueText() : QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    ScrollBar *bar() const { return static_cast<ScrollBar *>(widget()); }
};

// Present for the eye only: no name, and not shown to a reader.
class DecorativeAccessible : public QAccessibleWidget
{
public:
    explicit DecorativeAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text) const override { return {}; }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("DecorativeLabel"))
        return new DecorativeAccessible(widget);
    if (className == QLatin1String("PictureBox"))
        return new PictureBoxAccessible(static_cast<PictureBox *>(widget));
    if (className == QLatin1String("ScrollBar"))
        return new ScrollBarAccessible(static_cast<ScrollBar *>(widget));
    return nullptr;
}

} // namespace

void Accessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

DecorativeLabel::DecorativeLabel(QWidget *parent)
    : QLabel(parent)
{
    Accessibility::install();
}

void Accessibility::setCaption(QLabel &label, const QString &text)
{
    label.setText(text);
    if (QWidget *described = label.buddy())
        described->setAccessibleDescription(text);
}

void Accessibility::paintFocusFrame(QWidget &control, QPainter &painter, const QRect &area)
{
    QStyleOptionFocusRect option;
    option.initFrom(&control);
    // Shown however the focus came: the print preview opens with the zoom bar focused, and a
    // keyboard user must see where the arrow keys go before pressing Tab.
    option.state |= QStyle::State_KeyboardFocusChange;
    option.rect = area;
    option.backgroundColor = control.palette().color(QPalette::Window);
    // Only along the edges: some styles also tint what the frame encloses, and a picture must
    // keep its own colours.
    painter.save();
    painter.setClipRegion(QRegion(area) - QRegion(area.adjusted(3, 3, -3, -3)));
    control.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, &control);
    painter.restore();
}
