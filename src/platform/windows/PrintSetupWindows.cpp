#include "platform/Printer.h"

#include <QPageSize>
#include <QPrinter>
#include <QWidget>

#include <windows.h>

#include <commdlg.h>

bool showPrintSetupDialog(QPrinter &printer, QWidget *owner)
{
    PRINTDLGW setup = {};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    setup.Flags = PD_PRINTSETUP;
    if (!::PrintDlgW(&setup))
        return false;
    if (const auto *names = static_cast<const DEVNAMES *>(::GlobalLock(setup.hDevNames))) {
        printer.setPrinterName(QString::fromWCharArray(reinterpret_cast<const wchar_t *>(names) +
                                                       names->wDeviceOffset));
        ::GlobalUnlock(setup.hDevNames);
    }
    if (const auto *mode = static_cast<const DEVMODEW *>(::GlobalLock(setup.hDevMode))) {
        const QPageSize paper(QPageSize::id(int(mode->dmPaperSize)));
        if ((mode->dmFields & DM_PAPERSIZE) && paper.isValid())
            printer.setPageSize(paper);
        ::GlobalUnlock(setup.hDevMode);
    }
    ::GlobalFree(setup.hDevNames);
    ::GlobalFree(setup.hDevMode);
    // The setup dialog has no copies or pages; a job is one of each all the same.
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    return true;
}
