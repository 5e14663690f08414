#include "DesktopCapture.h"

#include "platform/PictureSurface.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenMetrics.h"

bool CopyDesktop(PictureSurface &objTo, IScreenGrabber &screen, const IScreenMetrics &metrics,
                 QString *error)
{
    const ScreenGrab grab = screen.grabPrimaryScreen();
    const QImage &desktop = grab.image;
    if (desktop.isNull()) {
        if (error)
            *error = grab.error;
        return false;
    }
    const int w = desktop.width();
    const int h = desktop.height();
    // Width before height, both before the copy, so the bitmap has the desktop's pixel size.
    objTo.setWidth(double(metrics.twipsPerPixelX()) * w);
    objTo.setHeight(double(metrics.twipsPerPixelY()) * h);
    objTo.bitBlt(desktop, QPoint(0, 0));
    return true;
}
