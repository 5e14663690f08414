#include "DesktopCapture.h"

#include "designcontrols/PictureSurface.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenMetrics.h"

QString copyDesktop(PictureSurface &Picture1, IScreenGrabber &screen, const IScreenMetrics &metrics)
{
    const ScreenGrab grab = screen.grabPrimaryScreen();
    const QImage &desktop = grab.image;
    if (desktop.isNull())
        return grab.error.isEmpty() ? QStringLiteral("the screen gave no picture") : grab.error;
    const int w = desktop.width();
    const int h = desktop.height();
    // Width before height, both before the copy, so the bitmap has the desktop's pixel size.
    Picture1.setWidth(double(metrics.twipsPerPixelX()) * w);
    Picture1.setHeight(double(metrics.twipsPerPixelY()) * h);
    Picture1.bitBlt(desktop);
    return {};
}
