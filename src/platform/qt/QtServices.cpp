#include "QtServices.h"

#include "BuildConfig.h"
#include "platform/FileReplace.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

ScreenGrab QtScreenGrabber::grabPrimaryScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {QImage(), QStringLiteral("there is no screen to read")};
    // The pixmap is in device pixels even when the desktop is scaled; the shot is those pixels.
    QImage image = screen->grabWindow(0).toImage();
    if (image.isNull())
        return {QImage(), QStringLiteral("the window system did not hand out the screen's pixels")};
    image.setDevicePixelRatio(1.0);
    if (image.format() != QImage::Format_RGB32)
        image = std::move(image).convertToFormat(QImage::Format_RGB32);
    return {image, {}};
}

float QtScreenMetrics::twipsPerPixelX() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? float(1440.0 / screen->logicalDotsPerInchX()) : 15.0f;
}

float QtScreenMetrics::twipsPerPixelY() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? float(1440.0 / screen->logicalDotsPerInchY()) : 15.0f;
}

QtProgramFacts::QtProgramFacts(QStringList arguments)
    : m_arguments(std::move(arguments))
{}

QString QtProgramFacts::folder() const
{
    // An installed program's folder belongs to the system, where saving would only fail: the
    // user's pictures folder is the useful start there.
    const QString own = QCoreApplication::applicationDirPath();
    if (QFileInfo(own).isWritable())
        return own;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

QString QtProgramFacts::title() const
{
    return QStringLiteral("Glimmerbox");
}

ProgramVersion QtProgramFacts::version() const
{
    return {GLIMMERBOX_VERSION_MAJOR, GLIMMERBOX_VERSION_MINOR, GLIMMERBOX_VERSION_PATCH};
}

QString QtProgramFacts::arguments() const
{
    return m_arguments.mid(1).join(QLatin1Char(' '));
}

int QtMessageBox::show(const QString &text, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? m_program.title() : title);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    if (style & YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if ((style & Exclamation) == Exclamation)
        box.setIcon(QMessageBox::Warning);
    const int pressed = box.exec();
    if (pressed == QMessageBox::Yes)
        return Yes;
    if (pressed == QMessageBox::No)
        return No;
    return Ok;
}

void QtEventPump::doEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double QtEventPump::monotonicSeconds() const
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return double(clock.nsecsElapsed()) / 1e9;
}

bool QtFiles::exists(const QString &path) const
{
    return QFileInfo(path).isFile();
}

QString QtFiles::refusal(const QString &path) const
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("it is a folder");
    // Read-only means read-only, also for an administrator the system would let through.
    const auto writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (file.exists() && !(file.permissions() & writable))
        return QStringLiteral("it is read-only");
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("its folder does not exist");
    if (!folder.isWritable())
        return QStringLiteral("its folder may not be written to");
    return {};
}

ReplaceResult QtFiles::replaceSafely(const QString &target, const Writer &writer)
{
    return replaceFileSafely(target, writer);
}

bool QtClipboard::setBitmap(const QImage &picture)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard || picture.isNull())
        return false;
    clipboard->setImage(picture, QClipboard::Clipboard);
    return clipboard->ownsClipboard() || !clipboard->image().isNull();
}

struct QtPrinter::Job
{
    std::unique_ptr<QPrinter> device; // Qt's engine, where the sheet does not go straight
    QPainter painter;                 // to the spooler
    std::optional<bool> spooled;      // it did, and the spooler answered
};

namespace {

// The sheet of a landscape page layout, with the target given in 1/96 inch from the corner of
// its printable area.
PdfSheet sheetOf(const QPageLayout &layout, const QRectF &target)
{
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    return {layout.fullRect(QPageLayout::Point).size(), printable,
            QRectF(printable.topLeft() + target.topLeft() * 0.75, target.size() * 0.75)};
}

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
    device.setPageOrientation(QPageLayout::Landscape);
    // The page's origin is the corner of the printable area, not a margin of our own.
    device.setFullPage(false);
    device.setPageMargins(device.pageLayout().minimumMargins(), device.pageLayout().units());
    const bool toFile = device.outputFormat() == QPrinter::PdfFormat;
    // Qt's engine keeps the driver's own options under this key, as name and value in turn.
    const auto driverOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    return {device.printerName(), toFile ? device.outputFileName() : QString(),
            device.docName(),     device.pageLayout(),
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
    if (picture.isNull() || (m_job && m_job->spooled))
        return false; // a sheet handed to the spooler holds its one picture
    if (!m_job) {
        const PrinterSettings sheet = settings();
        m_job = std::make_unique<Job>();
        m_job->spooled = spoolSheet(sheet, sheetOf(sheet.layout, target), picture);
        if (m_job->spooled)
            return true;
        m_job->device = printerFor(sheet);
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
        m_job->spooled
            ? *m_job->spooled
            : m_job->painter.end() && (m_job->device->outputFormat() != QPrinter::NativeFormat ||
                                       spoolerTookLastDocument());
    m_job.reset();
    return ended;
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

SaveFileResult QtFileDialogs::showSave(const SaveFileRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Windows users expect the system's own dialog. Elsewhere Qt's widget dialog looks the same
    // on every desktop and can be driven by the keyboard alone.
    dialog.setOption(QFileDialog::DontUseNativeDialog,
                     QSysInfo::productType() != QLatin1String("windows"));
    const QStringList parts = request.filter.split(QLatin1Char('|'));
    QStringList names;
    QStringList suffixes;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        names << parts[i];
        QString pattern = parts[i + 1];
        suffixes << pattern.remove(QLatin1String("*.")).section(QLatin1Char(';'), 0, 0);
    }
    dialog.setNameFilters(names);
    const int index = std::clamp(request.filterIndex, 1, int(std::max<qsizetype>(1, names.size())));
    if (!names.isEmpty())
        dialog.selectNameFilter(names[index - 1]);
    // A default extension of "*" means: whatever the selected type's pattern gives.
    auto suffixFor = [&](const QString &filter) {
        const int at = names.indexOf(filter);
        if (request.defaultExt == QLatin1String("*") && at >= 0)
            return suffixes[at];
        return request.defaultExt;
    };
    dialog.setDefaultSuffix(suffixFor(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&](const QString &filter) { dialog.setDefaultSuffix(suffixFor(filter)); });
    dialog.selectFile(request.fileName);

    SaveFileResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.cancelled = false;
    result.fileName = dialog.selectedFiles().first();
    result.filterIndex = int(names.indexOf(dialog.selectedNameFilter())) + 1;
    return result;
}

QtPlatform::QtPlatform(QStringList arguments)
    : m_screen(chooseScreenGrabber())
    , m_program(std::move(arguments))
    , m_messages(m_program)
    , m_registry(makeSystemRegistry())
{}

Services QtPlatform::services()
{
    Services services;
    services.screen = m_screen.get();
    services.metrics = &m_metrics;
    services.program = &m_program;
    services.messages = &m_messages;
    services.events = &m_events;
    services.files = &m_files;
    services.clipboard = &m_clipboard;
    services.printer = &m_printer;
    services.dialogs = &m_dialogs;
    services.shell = &m_shell;
    services.processes = &m_processes;
    services.registry = m_registry.get();
    return services;
}
