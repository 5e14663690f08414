#include "DesignFonts.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QLabel>
#include <QStyle>
#include <QWidget>

QFont designFont(const QString &family, qreal pointSize, bool bold)
{
    static const bool substituted = [] {
        const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                  QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
        QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void fitTextToWidth(QWidget *control)
{
    QString text;
    qreal padding = 0;
    if (auto *label = qobject_cast<QLabel *>(control)) {
        if (label->wordWrap())
            return;
        text = label->text();
        padding = 2 * label->margin() + 2;
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        text = button->text();
        padding = 2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin) + 4;
    } else {
        return;
    }
    text.remove(QLatin1Char('&'));
    QFont font = control->font();
    while (font.pointSizeF() > 6 &&
           QFontMetricsF(font).size(0, text).width() + padding > control->width())
        font.setPointSizeF(font.pointSizeF() - 0.25);
    control->setFont(font);
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/glimmerbox/icons/glimmerbox-%1.png").arg(size));
    return icon;
}
