#include "PrintCommand.h"

#include "PrintJob.h"
#include "PrintPreviewForm.h"
#include "SheetLayout.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"

#include <QWidget>

#include <utility>

PrintCommand::PrintCommand(QWidget &owner, IPrinter &printer, IMessageBox &messages, float tx,
                           float ty)
    : m_owner(owner)
    , m_printer(printer)
    , m_messages(messages)
    , m_tppX(tx)
    , m_tppY(ty)
{
    connect(&m_printing, &BackgroundPrint::finished, this, &PrintCommand::jobEnded);
}

Result<> PrintCommand::print(const QImage &shot, const QRect &area, Route route,
                             const std::function<void()> &popUp, Telling telling,
                             std::function<void(Result<>)> ended)
{
    const bool tellUser = telling == Telling::User;
    if (area.isEmpty()) {
        if (tellUser)
            m_messages.inform(
                QStringLiteral("Print Now"),
                QStringLiteral("The selected area has no width or no height: there is "
                               "nothing to print."));
        return Failure{QStringLiteral("the area holds nothing to print")};
    }
    // One job at a time, and never a second one on a printer still in use.
    m_printing.waitUntilDone();
    const QSizeF printable = m_printer.printableSize();
    double zoom = wholeAreaZoom(printable, area.size());
    if (route == Route::ThroughPreview) {
        PrintPreviewForm preview(&m_owner, {shot, area, m_printer.deviceName(), printable}, m_tppX,
                                 m_tppY);
        connect(&preview, &PrintPreviewForm::printerSetupRequested, this, [&] {
            setUp();
            preview.showPrinter(m_printer.deviceName(), m_printer.printableSize());
        });
        zoom = preview.GetZoom();
        if (zoom == 0)
            return Failure{QStringLiteral("the preview was closed without printing")};
    }
    m_owner.setCursor(Qt::WaitCursor);
    m_tellUser = tellUser;
    m_ended = std::move(ended);
    m_outcome.reset();
    m_confirming = true;
    m_printing.start(m_printer.forJob(), [shot, area, zoom](IPrinter &job) {
        return PrintJob::printPage(job, shot, area, zoom);
    });
    popUp();
    m_confirming = false;
    if (m_outcome)
        jobEnded(*m_outcome);
    return {};
}

void PrintCommand::jobEnded(bool printed)
{
    if (m_confirming) {
        m_outcome = printed;
        return;
    }
    m_outcome.reset();
    m_owner.unsetCursor();
    // The pop-up has already said it was printing: a page that never came out is said too.
    if (!printed && m_tellUser)
        m_messages.warn(QStringLiteral("Print Now"), notPrinted());
    if (const auto ended = std::exchange(m_ended, {}))
        ended(printed ? Result<>() : Failure{notPrinted()});
}

QString PrintCommand::notPrinted() const
{
    const QString printer = m_printer.deviceName();
    return printer.isEmpty()
               ? QStringLiteral("Nothing was printed: no printer is installed.")
               : QStringLiteral("Nothing was printed: the printer \"%1\" did not take the page.")
                     .arg(printer);
}

void PrintCommand::setUp()
{
    m_printing.waitUntilDone();
    m_printer.showSetupDialog();
}
