#pragma once

#include "platform/ScreenGrabber.h"

#include <QList>
#include <QRect>
#include <QSize>

// Reads the screen through the desktop portal's Screenshot call, the only way to the screen on
// a Wayland desktop. The call is made without asking the user, the answer is awaited in the
// message loop (never blocking it) for at most the time limit, and the file the portal wrote
// for the call is read and then removed.
class PortalScreenGrabber final : public IScreenGrabber
{
public:
    explicit PortalScreenGrabber(int timeLimitMs = 10000)
        : m_timeLimitMs(timeLimitMs)
    {}
    ScreenGrab grabPrimaryScreen() override;

private:
    int m_timeLimitMs;
    int m_calls = 0;
};

// The primary screen's part of a picture that covers every output: the outputs' geometry is in
// the desktop's own units, the picture may be at a finer scale.
QRect primaryScreenPart(QSize picture, const QList<QRect> &outputs, const QRect &primary);
