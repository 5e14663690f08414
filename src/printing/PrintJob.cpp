#include "PrintJob.h"

#include "PdfSheet.h"
#include "SheetLayout.h"
#include "platform/Printer.h"

#include <QImage>

namespace {

// The sheet of a landscape page layout, with the target given in 1/96 inch from the corner of
// its printable area.
PdfSheet sheetOf(const QPageLayout &layout, const QRectF &target)
{
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    return {layout.fullRect(QPageLayout::Point).size(), printable,
            QRectF(printable.topLeft() + target.topLeft() * 0.75, target.size() * 0.75)};
}

} // namespace

bool PrintJob::printPage(IPrinter &printer, const QImage &shot, const QRect &area, double zoom)
{
    const SheetPlacement place = placeOnSheet(printer.printableSize(), area, zoom);
    const QRect source = place.source.intersected(shot.rect());
    return !source.isEmpty() &&
           printPicture(printer, source == shot.rect() ? shot : shot.copy(source), place.target);
}

bool PrintJob::printPicture(IPrinter &printer, const QImage &picture, const QRectF &target)
{
    if (const std::unique_ptr<ISpoolStream> spool = printer.spoolPdf())
        return writePdfSheet(sheetOf(spool->sheet(), target), picture, *spool) && spool->finish();
    const bool drawn = printer.drawPicture(picture, target);
    return printer.endDoc() && drawn;
}
