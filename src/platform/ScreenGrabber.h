#pragma once

#include "base/Result.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

// One reading of the primary screen: its pixels at full resolution (device pixels, never
// null), or why there are none.
using ScreenGrab = Result<QImage>;

// A picture the window system handed out, as every shot is kept: one pixel per device pixel
// (also on a scaled desktop), 32-bit RGB.
ScreenGrab asShot(QImage image);

// Reads the primary screen.
class IScreenGrabber
{
public:
    virtual ~IScreenGrabber() = default;
    virtual ScreenGrab grabPrimaryScreen() = 0;
};

// Qt's own grab of the screen: what Windows sessions use, and X11 ones where the server offers
// no shared memory.
class QtScreenGrabber final : public IScreenGrabber
{
public:
    ScreenGrab grabPrimaryScreen() override;
};

// The screen reader that fits the session; chosen once, at start-up. One per system.
std::unique_ptr<IScreenGrabber> chooseScreenGrabber();

// Whether there is a screen to read and a window to show, or why not (no display to connect
// to). One per system.
Result<> screenAvailable();

// A monitor as the window system lists it, in device pixels of the whole screen.
struct MonitorArea
{
    QRect area;
    bool primary = false;
};

// The part of a screen of the given size (as it is now) that the primary monitor shows: the
// monitor marked primary, else the one at the primary screen's origin, else the first.
QRect primaryMonitorArea(const QList<MonitorArea> &monitors, QPoint primaryOrigin, QSize screen);

// A screen's area in device pixels from Qt's geometry of it and its scale: Qt scales a screen's
// size but keeps its origin in device pixels.
QRect deviceArea(const QRect &geometry, qreal devicePixelRatio);

// The primary screen's part of a picture that covers every output: the outputs' geometry is in
// the desktop's own units, the picture may be at a finer scale.
QRect primaryScreenPart(QSize picture, const QList<QRect> &outputs, const QRect &primary);
