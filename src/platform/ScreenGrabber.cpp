#include "ScreenGrabber.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

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

QRect primaryMonitorArea(const QList<MonitorArea> &monitors, QPoint primaryOrigin, QSize screen)
{
    const QRect whole(QPoint(0, 0), screen);
    auto marked = std::find_if(monitors.begin(), monitors.end(),
                               [](const MonitorArea &m) { return m.primary; });
    if (marked == monitors.end())
        marked = std::find_if(monitors.begin(), monitors.end(), [&](const MonitorArea &m) {
            return m.area.topLeft() == primaryOrigin;
        });
    if (marked == monitors.end())
        marked = monitors.begin();
    return marked == monitors.end() ? whole : marked->area.intersected(whole);
}

QRect deviceArea(const QRect &geometry, qreal devicePixelRatio)
{
    return QRect(geometry.topLeft(), (QSizeF(geometry.size()) * devicePixelRatio).toSize());
}

ScreenGrab QtScreenGrabber::grabPrimaryScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return Failure{QStringLiteral("there is no screen to read")};
    // The pixmap is in device pixels even when the desktop is scaled; the shot is those pixels.
    QImage image = screen->grabWindow(0).toImage();
    if (image.isNull())
        return Failure{QStringLiteral("the window system did not hand out the screen's pixels")};
    return asShot(std::move(image));
}

ScreenGrab asShot(QImage image)
{
    image.setDevicePixelRatio(1.0);
    if (image.format() != QImage::Format_RGB32)
        image = std::move(image).convertToFormat(QImage::Format_RGB32);
    return image;
}
