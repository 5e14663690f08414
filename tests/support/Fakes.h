#pragma once

#include "app/GlimmerboxForm.h"
#include "dialogs/ConfirmForm.h"
#include "platform/qt/QtServices.h" // and through it every service's interface

#include <QApplication>
#include <QList>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <new>

// A picture whose every pixel differs from its neighbours, so a shift or a swap shows.
inline QImage pattern(QSize size, int seed = 0)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 13) & 255, (x * y + seed) & 255));
    return image;
}

// A screen showing whatever the test puts on it; a null picture cannot be read, and says why
// unless told to say nothing.
struct FakeScreen final : IScreenGrabber
{
    ScreenGrab grabPrimaryScreen() override
    {
        if (whileGrabbing)
            whileGrabbing();
        return screen.isNull() && !why.isEmpty() ? ScreenGrab(Failure{why}) : screen;
    }
    QImage screen;
    QString why = "the test's screen is dark";
    std::function<void()> whileGrabbing;
};

struct FixedMetrics final : IScreenMetrics
{
    float twipsPerPixelX() const override { return 15; }
    float twipsPerPixelY() const override { return 15; }
};

struct FakeProgram final : IProgramFacts
{
    QString folder() const override { return QStringLiteral("/opt/glimmerbox"); }
    QString title() const override { return QStringLiteral("Glimmerbox"); }
    ProgramVersion version() const override { return {1, 0, 4}; }
    QString arguments() const override { return args; }
    QString args;
};

// Records every message box as "title|text"; answers questions from a script, else No.
struct FakeMessageBox final : IMessageBox
{
    void warn(const QString &title, const QString &text) override { shown << title + '|' + text; }
    void inform(const QString &title, const QString &text) override { warn(title, text); }
    bool ask(const QString &title, const QString &text) override
    {
        warn(title, text);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QStringList shown;
    QList<bool> answers;
};

// Time that passes only when the program waits, so waits cost nothing.
struct FakeEventPump final : IEventPump
{
    void doEvents() override { now += 0.001; } // a busy wait ends too, and shows
    void runFor(int milliseconds) override { now += milliseconds / 1000.0; }
    double monotonicSeconds() const override { return now; }
    double now = 0;
};

struct FakeClipboard final : IClipboard
{
    bool setBitmap(const QImage &picture) override
    {
        if (accept)
            content = picture;
        return accept;
    }
    QImage content;
    bool accept = true;
};

struct FakePrinter final : IPrinter
{
    QString deviceName() const override { return name; }
    QSizeF printableSize() override { return printable; }
    bool drawPicture(const QImage &picture, const QRectF &target) override
    {
        // A job's page is recorded on the test's thread, before the window hears the job ended.
        // A job's own printer on its own thread, while the window's thread goes on.
        const auto windowRan = std::make_shared<std::atomic<bool>>(false);
        QMetaObject::invokeMethod(qApp, [windowRan] { *windowRan = true; });
        for (int i = 0; into && i < 200 && !*windowRan; ++i)
            QThread::msleep(10);
        const bool job = into && QThread::currentThread() != qApp->thread() && *windowRan;
        QMetaObject::invokeMethod(qApp, [to = into ? into : this, p = Page{picture, target, job}] {
            to->pages.append(p);
        });
        return true;
    }
    bool endDoc() override { return takesPages; }
    std::unique_ptr<ISpoolStream> spoolPdf() override { return nullptr; }
    bool showSetupDialog() override
    {
        name = QStringLiteral("Chosen Printer");
        printable = QSizeF(1122.5, 793.7); // A4
        return true;
    }
    std::unique_ptr<IPrinter> forJob() override
    {
        auto job = std::make_unique<FakePrinter>(*this);
        job->into = this;
        return job;
    }
    FakePrinter *into = nullptr;
    struct Page
    {
        QImage picture;
        QRectF target;
        bool printedWhileTheWindowRan;
    };
    QList<Page> pages;
    QString name = QStringLiteral("Recording Printer");
    QSizeF printable{1056, 816}; // a landscape Letter sheet printable to its edges, in 1/96 inch
    bool takesPages = true;
};

struct FakeFileDialogs final : IFileDialogs
{
    SaveFileResult showSave(const SaveFileRequest &request) override
    {
        folders.append(request.initialFolder);
        filter = request.filter;
        return real ? QtFileDialogs().showSave(request) : answer;
    }
    bool real = false; // Qt's own dialog, for a test to drive as a user would
    SaveFileResult answer;
    QStringList folders;
    QString filter;
};

struct FakeProcesses final : IProcessLauncher
{
    bool startDetached(const QString &program) override
    {
        started.append(program);
        return true;
    }
    QStringList started;
};

// A registry whose one value is the System Information tool's path; empty: no such key. A
// standard user may read it but is refused full access.
struct ScriptedRegistry final : IRegistry
{
    long RegOpenKeyEx(HKEY, const QString &subKey, unsigned long access, HKEY *result) override
    {
        if (toolPath.isEmpty() || !subKey.endsWith(QLatin1String("\\MSINFO")))
            return ERROR_FILE_NOT_FOUND;
        if (standardUser && access != 0x20019) // KEY_READ
            return ERROR_ACCESS_DENIED;
        *result = 1;
        return ERROR_SUCCESS;
    }
    long RegQueryValueEx(HKEY, const QString &, unsigned long *type, std::uint8_t *data,
                         unsigned long *size) override
    {
        const QByteArray value = toolPath.toLocal8Bit() + '\0';
        *size = std::min<unsigned long>(*size, (unsigned long)value.size());
        std::copy_n(value.constData(), *size, data);
        *type = REG_SZ;
        return ERROR_SUCCESS;
    }
    long RegCloseKey(HKEY) override { return ERROR_SUCCESS; }
    QString toolPath;
    bool standardUser = false;
};

struct FakeShell final : IShell
{
    void openUrl(const QString &url, QWidget *) override { opened.append(url); }
    QStringList opened;
};

// Pop-ups that close at once, recorded.
struct FakeConfirmations final : IConfirmations
{
    void confirmCopy() override { shown.append(QStringLiteral("Copied to Clipboard")); }
    void confirmSave() override { shown.append(QStringLiteral("Saved to File")); }
    void confirmPrint() override
    {
        const qsizetype before = messages->shown.size();
        QTest::qWait(200); // as long as a small page takes to print
        shown.append(QStringLiteral("Printing Now"));
        if (messages->shown.size() != before)
            shown.append(QStringLiteral("a message under the pop-up"));
    }
    QStringList shown;
    const FakeMessageBox *messages = nullptr;
};

// The real files, whose writing can be made to fail as a full disk would.
struct TestFiles final : IFiles
{
    Result<> replaceSafely(const QString &target, const Writer &writer) override
    {
        if (diskFull)
            return Failure{QStringLiteral("No space left on device")};
        if (outOfMemory)
            throw std::bad_alloc();
        return real.replaceSafely(target, writer);
    }
    bool exists(const QString &path) const override { return real.exists(path); }
    Result<> mayWrite(const QString &path) const override { return real.mayWrite(path); }
    QtFiles real;
    bool diskFull = false;
    bool outOfMemory = false;
};

// Scripted services, real files, and the main window started on them as the program starts it.
struct FakeDesktop
{
    FakeScreen screen;
    FixedMetrics metrics;
    FakeProgram program;
    FakeMessageBox messages;
    FakeEventPump events;
    TestFiles files;
    FakeClipboard clipboard;
    FakePrinter printer;
    FakeFileDialogs dialogs;
    FakeShell shell;
    FakeProcesses processes;
    ScriptedRegistry registry;
    FakeConfirmations *confirmations = nullptr;
    std::unique_ptr<GlimmerboxForm> form;

    explicit FakeDesktop(const QImage &shot, const QString &arguments = {})
    {
        program.args = arguments;
        screen.screen = shot;
        form = std::make_unique<GlimmerboxForm>(Services{&screen, &metrics, &program, &messages,
                                                         &events, &files, &clipboard, &printer,
                                                         &dialogs, &shell, &processes, &registry});
        auto recording = std::make_unique<FakeConfirmations>();
        confirmations = recording.get();
        recording->messages = &messages;
        form->setConfirmations(std::move(recording));
        form->startUp();
    }
    template<typename T = QAction> T *find(const QString &name) const
    {
        return form->findChild<T *>(name);
    }
    void trigger(const QString &item) { find(item)->trigger(); }
    void grab(const QImage &shot)
    {
        screen.screen = shot;
        trigger("GrabScreenMenuItem");
    }
};

// Acts on the next modal window of a kind once it shows: its own message loop runs inside the
// call that opened it. Gives up after ten seconds, so a test never hangs on it.
template<typename Window> void whenShown(std::function<void(Window *)> act)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act, ticks = 0]() mutable {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<Window *>(w); window && window->isVisible()) {
                timer->deleteLater();
                act(window);
                return;
            }
        if (++ticks > 1000)
            timer->deleteLater();
    });
    timer->start(10);
}
