#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QWidget;

// The forms were designed for MS Sans Serif 8 and Arial; these give the closest face installed
// (Liberation Sans and Arimo share Arial's metrics).
QFont designFont(const QString &family = QStringLiteral("MS Sans Serif"), qreal pointSize = 8,
                 bool bold = false);

// Shrinks a label's or button's font, a quarter point at a time, until its text fits the
// control's designed width; a wider face than the design's must not cut the text off.
void fitTextToWidth(QWidget *control);

// A dialog with a caption and a close box but no resizing or minimising, as the forms are drawn.
inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowCloseButtonHint;

// A new control of a form, named and placed as the design has it.
template<typename Control>
Control *designControl(QWidget *form, const char *name, QRect where, const QString &text = {})
{
    auto *control = new Control(text, form);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(where);
    return control;
}

// The program's icon at every size it is drawn at, so the desktop takes the one it needs.
QIcon programIcon();
