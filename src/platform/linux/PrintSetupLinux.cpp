#include "platform/Printer.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>

bool showPrintSetupDialog(QPrinter &printer, QWidget *owner)
{
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    // Qt's dialog is made to print at once; here it only chooses.
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        for (QAbstractButton *button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                button->setText(QStringLiteral("OK"));
    // Qt's dialog switches the printer as the user picks one and leaves it switched when the
    // user cancels; a cancelled setup must leave the printer as it was.
    const QString name = printer.printerName();
    if (dialog.exec() != QDialog::Accepted) {
        printer.setPrinterName(name);
        return false;
    }
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    return true;
}
