#pragma once

#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

// Reads an X11 screen through the MIT shared-memory extension, straight into the memory the
// shot keeps: no image travels through the X connection, and no copy is made afterwards.
// Where the extension is missing or refuses (a display on another machine, a server started
// without it), Qt's own grab reads the screen instead.
class XShmScreenGrabber final : public IScreenGrabber
{
public:
    ScreenGrab grabPrimaryScreen() override;

private:
    QtScreenGrabber m_fallback;
    bool m_unusable = false;
};
