#pragma once

#include "platform/ScreenGrabber.h"

#include <QObject>
#include <QVariantMap>

// Receives the portal's Response signal for one request: its code and results.
class PortalResponse : public QObject
{
    Q_OBJECT

public:
    bool answered = false;
    uint response = 2;
    QVariantMap results;

signals:
    void arrived();

public slots:
    void onResponse(uint code, const QVariantMap &values)
    {
        answered = true;
        response = code;
        results = values;
        emit arrived();
    }
};

// Reads the screen through the desktop portal's Screenshot call, the only way to the screen on
// a Wayland desktop. The call is made without asking the user, the answer is awaited in the
// message loop (never blocking it) for at most the time limit, and the file the portal wrote
// for the call is read and then removed. The first time, a desktop may ask the user whether the
// program may take screenshots (GNOME does, and waits 25 s for the answer): the limit leaves the
// user that time.
class PortalScreenGrabber final : public IScreenGrabber
{
public:
    explicit PortalScreenGrabber(int timeLimitMs = 30000)
        : m_timeLimitMs(timeLimitMs)
    {}
    ScreenGrab grabPrimaryScreen() override;

private:
    int m_timeLimitMs;
    int m_calls = 0;
};
