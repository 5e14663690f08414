#include "QtPrinter.h"

#include <QApplication>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

struct QtPrinter::Job
{
    std::unique_ptr<QPrinter> device;
    QPainter painter;
};

namespace {

std::unique_ptr<QPrinter> printerFor(const PrinterSettings &settings)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(settings.docName);
    if (settings.outputFileName.isEmpty()) {
        printer->setPrinterName(settings.printerName);
    } else {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(settings.outputFileName);
    }
    printer->setFullPage(false);
    printer->setPageLayout(settings.layout);
    printer->setColorMode(settings.colorMode);
    printer->setDuplex(settings.duplex);
    printer->setPaperSource(settings.paperSource);
    return printer;
}

} // namespace

QMarginsF turnedToLandscape(const QMarginsF &portrait, bool anticlockwise)
{
    if (anticlockwise)
        return {portrait.bottom(), portrait.left(), portrait.top(), portrait.right()};
    return {portrait.top(), portrait.right(), portrait.bottom(), portrait.left()};
}

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() = default;

QPrinter &QtPrinter::printer()
{
    // Until the user picks a printer, the window follows whatever is the system's default.
    if (!m_printer ||
        (!m_chosenByUser && m_printer->printerName() != QPrinterInfo::defaultPrinterName())) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(QStringLiteral("Glimmerbox"));
        // Qt starts every printer on one paper size of its own; the sheet is the printer's.
        const QPageSize paper =
            QPrinterInfo::printerInfo(m_printer->printerName()).defaultPageSize();
        if (paper.isValid())
            m_printer->setPageSize(paper);
    }
    return *m_printer;
}

PrinterSettings QtPrinter::settings()
{
    if (m_jobSettings)
        return *m_jobSettings;
    QPrinter &device = printer();
    const QMarginsF margins = landscapeMinimumMargins(device);
    // The page's origin is the corner of the printable area, not a margin of our own. Qt would
    // hold the turned margins against the unturned least ones, so the sheet's layout is ours.
    device.setFullPage(false);
    const QPageLayout layout(device.pageLayout().pageSize(), QPageLayout::Landscape, margins,
                             device.pageLayout().units());
    device.setPageLayout(layout);
    const bool toFile = device.outputFormat() == QPrinter::PdfFormat;
    // Qt's engine keeps the driver's own options under this key, as name and value in turn.
    const auto driverOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    return {device.printerName(), toFile ? device.outputFileName() : QString(),
            device.docName(),     layout,
            device.colorMode(),   device.duplex(),
            device.paperSource(), device.printEngine()->property(driverOptions).toStringList()};
}

QString QtPrinter::deviceName() const
{
    if (m_jobSettings)
        return m_jobSettings->printerName;
    if (m_chosenByUser && m_printer)
        return m_printer->printerName();
    return QPrinterInfo::defaultPrinterName();
}

QSizeF QtPrinter::printableSize()
{
    // The preview and the job read the sheet from the settings the page is printed with.
    return settings().layout.paintRect(QPageLayout::Inch).size() * 96.0;
}

bool QtPrinter::drawPicture(const QImage &picture, const QRectF &target)
{
    if (picture.isNull())
        return false;
    if (!m_job) {
        m_job = std::make_unique<Job>();
        m_job->device = printerFor(settings());
        if (!m_job->painter.begin(m_job->device.get())) {
            m_job.reset();
            return false;
        }
    }
    QPainter &painter = m_job->painter;
    const QPrinter &device = *m_job->device;
    const double dotsPerUnit = device.resolution() / 96.0;
    painter.setClipRect(QRect(0, 0, device.width(), device.height()));
    // The printer receives the screen's own pixels and does the scaling itself: nothing is
    // resampled here, and nothing is compressed with loss on the way.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(target.topLeft() * dotsPerUnit, target.size() * dotsPerUnit), picture);
    return true;
}

bool QtPrinter::endDoc()
{
    if (!m_job)
        return false;
    // A printer queue knows whether it took the page only once the painter has ended; a PDF
    // file has no queue to ask.
    const bool ended =
        m_job->painter.end() &&
        (m_job->device->outputFormat() != QPrinter::NativeFormat || spoolerTookLastDocument());
    m_job.reset();
    return ended;
}

std::unique_ptr<ISpoolStream> QtPrinter::spoolPdf()
{
    return openPdfSpool(settings());
}

std::unique_ptr<IPrinter> QtPrinter::forJob()
{
    // The settings are taken now, on the window's thread; the job never touches its printer.
    auto job = std::make_unique<QtPrinter>();
    job->m_jobSettings = settings();
    return job;
}

bool QtPrinter::showSetupDialog()
{
    if (!showPrintSetupDialog(printer(), QApplication::activeWindow()))
        return false;
    m_chosenByUser = true;
    return true;
}
