#include "platform/Printer.h"

bool spoolerTookLastDocument()
{
    // The Windows engine ends the document with the spooler's own call and reports its answer.
    return true;
}

std::unique_ptr<ISpoolStream> openPdfSpool(const PrinterSettings &)
{
    // Windows printers take the page through the system's own drawing calls, Qt's engine.
    return nullptr;
}

QMarginsF landscapeMinimumMargins(QPrinter &printer)
{
    // Qt asks the driver for the margins in the orientation the printer is set to.
    printer.setPageOrientation(QPageLayout::Landscape);
    return printer.pageLayout().minimumMargins();
}
