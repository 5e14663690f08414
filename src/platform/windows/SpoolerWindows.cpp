#include "platform/Printer.h"

bool spoolerTookLastDocument()
{
    // The Windows engine ends the document with the spooler's own call and reports its answer.
    return true;
}

std::optional<bool> spoolSheet(const PrinterSettings &, const PdfSheet &, const QImage &)
{
    // Windows printers take the page through the system's own drawing calls, Qt's engine.
    return std::nullopt;
}

QMarginsF landscapeMinimumMargins(QPrinter &printer)
{
    // Qt asks the driver for the margins in the orientation the printer is set to.
    printer.setPageOrientation(QPageLayout::Landscape);
    return printer.pageLayout().minimumMargins();
}
