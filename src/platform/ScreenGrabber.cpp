#include "ScreenGrabber.h"

QRect primaryScreenPart(QSize picture, const QList<QRect> &outputs, const QRect &primary)
{
    const QRect whole(QPoint(0, 0), picture);
    if (outputs.size() < 2)
        return whole;
    QRect all;
    for (const QRect &output : outputs)
        all = all.united(output);
    if (all.isEmpty())
        return whole;
    const double sx = double(picture.width()) / all.width();
    const double sy = double(picture.height()) / all.height();
    const QRect g = primary.translated(-all.topLeft());
    return QRect(qRound(g.x() * sx), qRound(g.y() * sy), qRound(g.width() * sx),
                 qRound(g.height() * sy))
        .intersected(whole);
}
