#include "PrintJob.h"

#include "PageComposition.h"
#include "platform/PictureSurface.h"
#include "platform/Printer.h"

#include <QImage>

QImage PrintJob::composePageImage(const QImage &shot, const QRect &area, float zoom, float tx,
                                  float ty)
{
    // The page takes the shot's size before it is cleared to white.
    PictureSurface page(tx, ty);
    page.setAutoSize(true);
    page.setPicture(shot);
    page.setBackColor(Qt::white);
    page.setPicture(QImage());
    const QRect d = pagePlacement(shot.size(), area.size(), zoom);
    auto twips = [tx, ty](const QRect &r) {
        return QRectF(r.x() * tx, r.y() * ty, r.width() * tx, r.height() * ty);
    };
    page.paintPicture(shot, twips(d), twips(area));
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
