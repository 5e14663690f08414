#include "PrintJob.h"

#include "SheetLayout.h"
#include "platform/Printer.h"

#include <QImage>

bool PrintJob::printPage(IPrinter &printer, const QImage &shot, const QRect &area, double zoom)
{
    const SheetPlacement place = placeOnSheet(printer.printableSize(), area, zoom);
    const QRect source = place.source.intersected(shot.rect());
    const bool drawn =
        !source.isEmpty() &&
        printer.drawPicture(source == shot.rect() ? shot : shot.copy(source), place.target);
    return printer.endDoc() && drawn;
}
