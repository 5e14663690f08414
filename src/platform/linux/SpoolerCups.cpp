#include "platform/Printer.h"

#include <QHash>
#include <QTemporaryFile>
#include <QUrl>

#include <cups/cups.h>

#include <vector>

namespace {

// The choices from Printer Setup, as the spooler reads them. A sheet is always one copy.
std::vector<std::pair<QByteArray, QByteArray>> jobOptions(const PrinterSettings &printer)
{
    std::vector<std::pair<QByteArray, QByteArray>> options{
        {"media", printer.layout.pageSize().key().toUtf8()}, {"copies", "1"}};
    switch (printer.duplex) {
    case QPrinter::DuplexNone:
        options.emplace_back("sides", "one-sided");
        break;
    case QPrinter::DuplexShortSide:
        options.emplace_back("sides", "two-sided-short-edge");
        break;
    default:
        options.emplace_back("sides", "two-sided-long-edge");
    }
    if (printer.colorMode == QPrinter::GrayScale)
        options.emplace_back("print-color-mode", "monochrome");
    for (qsizetype i = 0; i + 1 < printer.driverOptions.size(); i += 2)
        options.emplace_back(printer.driverOptions[i].toUtf8(),
                             printer.driverOptions[i + 1].toUtf8());
    return options;
}

// Whether CUPS's filters turn the printer's landscape pages anticlockwise onto its paper: as its
// description says, and clockwise where it says nothing. Asked once per printer.
bool turnsAnticlockwise(const QString &printer)
{
    static QHash<QString, bool> known;
    if (const auto found = known.constFind(printer); found != known.constEnd())
        return *found;
    QTemporaryFile description;
    const QByteArray resource = "/printers/" + QUrl::toPercentEncoding(printer) + ".ppd";
    if (!description.open() ||
        cupsGetFd(CUPS_HTTP_DEFAULT, resource.constData(), description.handle()) != HTTP_STATUS_OK)
        return false; // asked again next time: the spooler may only be starting
    bool anticlockwise = false;
    description.seek(0);
    while (!description.atEnd()) {
        const QByteArray line = description.readLine().trimmed();
        if (line.startsWith("*LandscapeOrientation:"))
            anticlockwise = line.endsWith("Plus90");
    }
    known.insert(printer, anticlockwise);
    return anticlockwise;
}

} // namespace

QMarginsF landscapeMinimumMargins(QPrinter &printer)
{
    // Qt reads a CUPS printer's margins for portrait paper, whatever the orientation, and CUPS
    // turns a landscape page onto that paper.
    printer.setPageOrientation(QPageLayout::Portrait);
    const QMarginsF portrait = printer.pageLayout().minimumMargins();
    printer.setPageOrientation(QPageLayout::Landscape);
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return portrait; // a file: no spooler turns it
    return turnedToLandscape(portrait, turnsAnticlockwise(printer.printerName()));
}

bool spoolerTookLastDocument()
{
    // Qt's CUPS engine submits the document when the painter ends and drops the answer; the
    // library keeps the last answer of this thread, which is that submission.
    return cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE;
}

std::optional<bool> spoolSheet(const PrinterSettings &printer, const PdfSheet &sheet,
                               const QImage &picture)
{
    if (!printer.outputFileName.isEmpty() || printer.printerName.isEmpty())
        return std::nullopt;
    const QByteArray name = printer.printerName.toUtf8();
    const QByteArray title = printer.docName.toUtf8();
    int count = 0;
    cups_option_t *options = nullptr;
    for (const auto &[option, value] : jobOptions(printer))
        count = cupsAddOption(option.constData(), value.constData(), count, &options);
    const int job =
        cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.constData(), count, options);
    cupsFreeOptions(count, options);
    if (job <= 0)
        return false;
    // The document goes to the spooler as it is written: no file, no second copy of the page.
    // An empty piece would end the document early.
    const bool written =
        cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, title.constData(),
                          CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE &&
        writePdfSheet(sheet, picture, [](QByteArrayView bytes) {
            return bytes.isEmpty() ||
                   cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(), size_t(bytes.size())) ==
                       HTTP_STATUS_CONTINUE;
        });
    const bool finished =
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) < IPP_STATUS_REDIRECTION_OTHER_SITE;
    if (!(written && finished)) {
        // Half a page must not print.
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return false;
    }
    return true;
}
