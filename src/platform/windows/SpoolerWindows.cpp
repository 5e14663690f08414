#include "platform/Printer.h"

bool spoolerTookLastDocument()
{
    // The Windows engine ends the document with the spooler's own call and reports its answer.
    return true;
}
