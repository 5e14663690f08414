#include "PrintJob.h"

#include "PageComposition.h"
#include "capture/CropSelection.h"
#include "platform/PictureSurface.h"
#include "platform/Printer.h"

#include <QImage>

QImage PrintJob::composePageImage(const QImage &shot, const CropFractions &fractions, float zoom,
                                  float tx, float ty)
{
    PictureSurface picture(tx, ty);
    picture.setAutoSize(true);
    picture.setPicture(shot);
    // The page takes the shot's size before it is cleared to white.
    PictureSurface page(tx, ty);
    page.setAutoSize(true);
    page.setPicture(shot);
    page.setBackColor(Qt::white);
    page.setPicture(QImage());
    const PageComposition c =
        composePage(QSizeF(page.scaleWidth(), page.scaleHeight()),
                    QSizeF(picture.scaleWidth(), picture.scaleHeight()), fractions, zoom);
    page.paintPicture(shot, c.destination, c.source);
    return page.image();
}

bool PrintJob::printPage(IPrinter &printer, const QImage &page)
{
    printer.setOrientation(IPrinter::Landscape);
    const bool drawn = printer.drawPicture(page, 0, 0);
    const bool ended = printer.endDoc();
    printer.setOrientation(IPrinter::Portrait);
    return drawn && ended;
}
