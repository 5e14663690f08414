#include "DesktopCapture.h"

ScreenGrab copyDesktop(IScreenGrabber &screen)
{
    ScreenGrab grab = screen.grabPrimaryScreen();
    // A grabber that hands out nothing without a reason still must not make an empty shot.
    if (grab ? grab->isNull() : grab.reason().isEmpty())
        return Failure{QStringLiteral("the screen gave no picture")};
    return grab;
}
