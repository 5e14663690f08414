#include "platform/Printer.h"

#include <QHash>
#include <QTemporaryFile>
#include <QUrl>

#include <cups/cups.h>

#include <utility>
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

// A job of one document, which goes to the spooler as it is written: no file, no second copy of
// the page. A job the spooler refused takes no bytes and prints nothing.
class CupsStream final : public ISpoolStream
{
public:
    explicit CupsStream(const PrinterSettings &printer)
        : m_sheet(printer.layout)
        , m_name(printer.printerName.toUtf8())
    {
        const QByteArray title = printer.docName.toUtf8();
        int count = 0;
        cups_option_t *options = nullptr;
        for (const auto &[option, value] : jobOptions(printer))
            count = cupsAddOption(option.constData(), value.constData(), count, &options);
        m_job =
            cupsCreateJob(CUPS_HTTP_DEFAULT, m_name.constData(), title.constData(), count, options);
        cupsFreeOptions(count, options);
        if (m_job > 0)
            m_writing =
                cupsStartDocument(CUPS_HTTP_DEFAULT, m_name.constData(), m_job, title.constData(),
                                  CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    }
    ~CupsStream() override { end(false); }
    const QPageLayout &sheet() const override { return m_sheet; }
    bool write(QByteArrayView bytes) override
    {
        // An empty piece would end the document early.
        if (m_writing && !bytes.isEmpty())
            m_writing = cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(),
                                             size_t(bytes.size())) == HTTP_STATUS_CONTINUE;
        return m_writing;
    }
    bool finish() override { return end(m_writing); }

private:
    bool end(bool complete)
    {
        if (m_job <= 0)
            return false;
        const int job = std::exchange(m_job, 0);
        const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, m_name.constData()) <
                              IPP_STATUS_REDIRECTION_OTHER_SITE;
        if (complete && finished)
            return true;
        cupsCancelJob2(CUPS_HTTP_DEFAULT, m_name.constData(), job, 0);
        return false;
    }

    QPageLayout m_sheet;
    QByteArray m_name;
    int m_job = 0;
    bool m_writing = false;
};

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

std::unique_ptr<ISpoolStream> openPdfSpool(const PrinterSettings &printer)
{
    if (!printer.outputFileName.isEmpty() || printer.printerName.isEmpty())
        return nullptr;
    return std::make_unique<CupsStream>(printer);
}
