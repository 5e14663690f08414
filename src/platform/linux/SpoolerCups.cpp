#include "platform/Printer.h"

#include <cups/cups.h>

bool spoolerTookLastDocument()
{
    // Qt's CUPS engine submits the document when the painter ends and drops the answer; the
    // library keeps the last answer of this thread, which is that submission.
    return cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE;
}
