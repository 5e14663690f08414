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
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

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
    QString own = QCoreApplication::applicationDirPath();
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

// Dialogs are owned by whichever window is active, so they centre over it and block it.
int QtMessageBox::show(const QString &title, const QString &text, int icon, int buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? m_program.title() : title);
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::Icon(icon));
    box.setStandardButtons(QMessageBox::StandardButtons(buttons));
    return box.exec();
}

void QtMessageBox::warn(const QString &title, const QString &text)
{
    show(title, text, QMessageBox::Warning, QMessageBox::Ok);
}

void QtMessageBox::inform(const QString &title, const QString &text)
{
    show(title, text, QMessageBox::NoIcon, QMessageBox::Ok);
}

bool QtMessageBox::ask(const QString &title, const QString &text)
{
    return show(title, text, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
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

Result<> QtFiles::mayWrite(const QString &path) const
{
    const QFileInfo file(path);
    if (file.isDir())
        return Failure{QStringLiteral("it is a folder")};
    // Read-only means read-only, also for an administrator the system would let through.
    const auto writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (file.exists() && !(file.permissions() & writable))
        return Failure{QStringLiteral("it is read-only")};
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return Failure{QStringLiteral("its folder does not exist")};
    if (!folder.isWritable())
        return Failure{QStringLiteral("its folder may not be written to")};
    return {};
}

Result<> QtFiles::replaceSafely(const QString &target, const Writer &writer)
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
        const qsizetype at = names.indexOf(filter);
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
