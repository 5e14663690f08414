#pragma once

#include "platform/ScreenGrabber.h"


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
