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

QString QtProgramFacts::exeName() const
{
    const QString path =
        m_arguments.isEmpty() ? QCoreApplication::applicationFilePath() : m_arguments.first();
    return QFileInfo(path).completeBaseName();
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
    QPainter painter;
};

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() = default;

QPrinter &QtPrinter::printer()
{
    // Until the user picks a printer, every job goes to whatever is the system's default now.
    if (!m_printer || (!m_chosenByUser && !m_job)) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(QStringLiteral("Glimmerbox"));
    }
    return *m_printer;
}

QString QtPrinter::deviceName() const
{
    if (m_chosenByUser && m_printer)
        return m_printer->printerName();
    return QPrinterInfo::defaultPrinterName();
}

void QtPrinter::setOrientation(int orientation)
{
    m_orientation = orientation;
    if (m_printer)
        m_printer->setPageOrientation(orientation == Landscape ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
}

int QtPrinter::orientation() const
{
    return m_orientation;
}

bool QtPrinter::drawPicture(const QImage &picture, float xTwips, float yTwips)
{
    if (picture.isNull())
        return false;
    if (!m_job) {
        QPrinter &device = printer();
        device.setPageOrientation(m_orientation == Landscape ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
        // The page's origin is the corner of the printable area, not a margin of our own.
        device.setFullPage(false);
        const QPageLayout layout = device.pageLayout();
        device.setPageMargins(layout.minimumMargins(), layout.units());
        m_job = std::make_unique<Job>();
        if (!m_job->painter.begin(&device)) {
            m_job.reset();
            return false;
        }
    }
    QPainter &painter = m_job->painter;
    // Twips are 1/1440 inch; the picture's pixels are 1/96 inch each, as on a 96-dpi screen.
    const double dotsPerTwip = m_printer->resolution() / 1440.0;
    const double dotsPerPixel = m_printer->resolution() / 96.0;
    const QPointF origin(xTwips * dotsPerTwip, yTwips * dotsPerTwip);
    // Only the pixels that land on the paper are drawn: the PDF engine compresses every pixel it
    // is given, and a whole screen at 1/96 inch is far larger than the sheet. The printable area
    // comes from the printer each time (paper, margins, orientation), and a pixel only partly on
    // it is kept, so the sheet shows exactly what it showed with the whole picture.
    const QRectF paper(0, 0, m_printer->width(), m_printer->height());
    const QRectF onPaper = paper.translated(-origin);
    const QRect visible = QRectF(onPaper.topLeft() / dotsPerPixel, onPaper.size() / dotsPerPixel)
                              .toAlignedRect()
                              .intersected(picture.rect());
    if (visible.isEmpty())
        return true; // off the sheet: the page is blank, as it would have been
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(QRectF(origin.x() + visible.x() * dotsPerPixel,
                             origin.y() + visible.y() * dotsPerPixel,
                             visible.width() * dotsPerPixel, visible.height() * dotsPerPixel),
                      visible == picture.rect() ? picture : picture.copy(visible));
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
        (m_printer->outputFormat() != QPrinter::NativeFormat || spoolerTookLastDocument());
    m_job.reset();
    return ended;
}

std::unique_ptr<IPrinter> QtPrinter::forJob()
{
    auto job = std::make_unique<QtPrinter>();
    job->m_orientation = m_orientation;
    if (!m_chosenByUser)
        return job; // the job looks up the system's default printer as it starts
    // QPrinter cannot be copied: what the setup dialog can change is carried over.
    const QPrinter &from = printer();
    auto &to = job->m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    to->setDocName(from.docName());
    to->setOutputFormat(from.outputFormat());
    if (from.outputFormat() == QPrinter::NativeFormat)
        to->setPrinterName(from.printerName());
    else
        to->setOutputFileName(from.outputFileName());
    to->setPageLayout(from.pageLayout());
    to->setColorMode(from.colorMode());
    to->setDuplex(from.duplex());
    to->setPaperSource(from.paperSource());
    job->m_chosenByUser = true;
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
