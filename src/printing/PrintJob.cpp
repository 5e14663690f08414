#include "PrintJob.h"

#include "PageComposition.h"
#include "capture/CropSelection.h"
#include "platform/PictureSurface.h"
#include "platform/Printer.h"

#include <QImage>
#include <QWidget>

void PrintJob::PrintCurrentShot(bool SkipPreview)
{
    Context &c = m_context;
    // A step that fails leaves nothing behind and the next one runs, so the pointer and the
    // orientation are always put back; only then is a page that never reached the printer
    // reported, since the pop-up has already said it was printing.
    c.ComputeCropFractions();
    if (c.state.XRw <= 0 || c.state.YRw <= 0) {
        if (c.reportEmptyArea)
            c.reportEmptyArea();
        return;
    }
    c.Picture1.setPicture(c.currentShot());
    const float SW = c.Picture1.scaleWidth();
    const float SH = c.Picture1.scaleHeight();

    if (!SkipPreview) {
        c.GetZoom();
        if (c.PrintZoom == 0)
            return;
    } else {
        c.PrintZoom = 1.0f;
    }
    c.ConfirmPrint();
    c.printer.setOrientation(IPrinter::Landscape);
    c.mainWindow.setCursor(Qt::WaitCursor);

    c.Picture2.setPicture(c.Picture1.picture());
    const float CW = c.Picture2.scaleWidth();
    const float CH = c.Picture2.scaleHeight();
    c.Picture2.setBackColor(Qt::white);
    c.Picture2.setPicture(QImage());
    // The page image has the whole shot's size; the printed area is DW x DH = its share of the
    // shot at PrintZoom, centred on it.
    const PageComposition page = composePage(QSizeF(CW, CH), QSizeF(SW, SH), c.state, c.PrintZoom);
    c.Picture2.paintPicture(c.Picture1.image(), page.destination, page.source);
    c.Picture2.setPicture(c.Picture2.image());

    const bool drawn = c.printer.drawPicture(c.Picture2.picture(), 0, 0);
    const bool ended = c.printer.endDoc();

    c.mainWindow.unsetCursor();
    c.printer.setOrientation(IPrinter::Portrait);
    if ((!drawn || !ended) && c.reportPrintFailure)
        c.reportPrintFailure();
}
