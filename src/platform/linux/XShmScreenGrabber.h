#pragma once

#include "platform/ScreenGrabber.h"

#include <xcb/xcb.h>

#include <memory>

// Reads an X11 screen through the MIT shared-memory extension, straight into the memory the
// shot keeps: no image travels through the X connection, and no copy is made afterwards.
// Where the extension is missing or refuses (a display on another machine, a server started
// without it), the pixels come through the connection. Each grab reads the screen as it is at
// that moment: its size and its monitors may have changed since the last one.
class XShmScreenGrabber final : public IScreenGrabber
{
public:
    XShmScreenGrabber();
    ~XShmScreenGrabber() override;
    ScreenGrab grabPrimaryScreen() override;

private:
    struct Segment;
    struct Pool;
    static void shotReleased(void *segment);
    std::unique_ptr<Segment> segment(xcb_connection_t *connection, size_t bytes);
    QImage readIntoSharedMemory(xcb_connection_t *connection, xcb_window_t root, const QRect &area);

    std::shared_ptr<Pool> m_pool;
    QtScreenGrabber m_fallback;
    bool m_unusable = false;
};
