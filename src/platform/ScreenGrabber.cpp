#include "ScreenGrabber.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

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

ScreenGrab QtScreenGrabber::grabPrimaryScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {QImage(), QStringLiteral("there is no screen to read")};
    // The pixmap is in device pixels even when the desktop is scaled; the shot is those pixels.
    QImage image = screen->grabWindow(0).toImage();
    if (image.isNull())
        return {QImage(), QStringLiteral("the window system did not hand out the screen's pixels")};
    return asShot(std::move(image));
}

ScreenGrab asShot(QImage image)
{
    image.setDevicePixelRatio(1.0);
    if (image.format() != QImage::Format_RGB32)
        image = std::move(image).convertToFormat(QImage::Format_RGB32);
    return {image, {}};
}
