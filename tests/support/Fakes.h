#pragma once

#include "dialogs/Confirmations.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/ProgramFacts.h"
#include "platform/Registry.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenMetrics.h"
#include "platform/Services.h"
#include "platform/Shell.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstring>
#include <deque>
#include <functional>
#include <map>

// A screen that shows whatever the test puts on it; each grab is counted. A null picture is a
// screen that could not be read.
class FakeScreen final : public IScreenGrabber
{
public:
    ScreenGrab grabPrimaryScreen() override
    {
        ++grabs;
        const QImage image = next ? next(grabs) : screen;
        if (image.isNull())
            return {QImage(), QStringLiteral("the test's screen is dark")};
        return {image, {}};
    }
    QImage screen;
    std::function<QImage(int)> next; // called with the grab's number, from 1
    int grabs = 0;
};

class FakeProgram final : public IProgramFacts
{
public:
    QString folder() const override { return programFolder; }
    QString title() const override { return QStringLiteral("Glimmerbox"); }
    ProgramVersion version() const override { return programVersion; }
    QString arguments() const override { return args; }
    QString exeName() const override { return QStringLiteral("glimmerbox"); }

    QString args;
    QString programFolder = QStringLiteral("/opt/glimmerbox");
    ProgramVersion programVersion{1, 0, 4};
};

struct ShownMessage
{
    QString text;
    int style;
    QString title;
};

// Records every message box; answers from a script, OK (or No for Yes/No boxes) by default.
class FakeMessageBox final : public IMessageBox
{
public:
    int show(const QString &text, int style, const QString &title) override
    {
        shown.append({text, style, title});
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (style & YesNo) ? No : Ok;
    }
    QList<ShownMessage> shown;
    std::deque<int> answers;
};

// Time that passes only when the program waits, so waits cost nothing in tests.
class FakeEventPump final : public IEventPump
{
public:
    void doEvents() override { ++doEventsCalls; }
    void runFor(int milliseconds) override
    {
        ++runForCalls;
        now += milliseconds / 1000.0;
    }
    double monotonicSeconds() const override { return now; }

    double now = 1000.0;
    int doEventsCalls = 0;
    int runForCalls = 0;
};

class FakeFiles final : public IFiles
{
public:
    bool exists(const QString &path) const override { return existing.contains(path); }
    QString remove(const QString &path) override
    {
        existing.removeAll(path);
        return {};
    }
    // Hands the writer the target itself; tests that care about files use the real service.
    ReplaceResult replaceSafely(const QString &target, const Writer &writer) override
    {
        replaced.append(target);
        if (!writer(target))
            return {ReplaceResult::WriterFailed, {}};
        return {ReplaceResult::Replaced, {}};
    }
    QStringList existing;
    QStringList replaced;
};

class FakeClipboard final : public IClipboard
{
public:
    bool setBitmap(const QImage &picture) override
    {
        content = picture;
        ++sets;
        return accept;
    }
    QImage content;
    int sets = 0;
    bool accept = true;
};

struct PrintedPicture
{
    QImage picture;
    float x;
    float y;
    int orientation;
};

// Keeps every page it is given.
class FakePrinter final : public IPrinter
{
public:
    QString deviceName() const override { return name; }
    void setOrientation(int o) override
    {
        orientationValue = o;
        orientationLog.append(o);
    }
    int orientation() const override { return orientationValue; }
    bool drawPicture(const QImage &picture, float x, float y) override
    {
        if (!available)
            return false;
        drawn.append({picture, x, y, orientationValue});
        return true;
    }
    bool endDoc() override
    {
        if (!available || drawn.isEmpty())
            return false;
        ++documents;
        return true;
    }
    bool showSetupDialog() override
    {
        ++setupShown;
        if (setupChoosesPrinter.isEmpty())
            return false;
        name = setupChoosesPrinter;
        return true;
    }

    QString name = QStringLiteral("Recording Printer");
    int orientationValue = Portrait;
    QList<int> orientationLog;
    QList<PrintedPicture> drawn;
    int documents = 0;
    bool available = true;
    int setupShown = 0;
    QString setupChoosesPrinter;
};

class FakeFileDialogs final : public IFileDialogs
{
public:
    SaveFileResult showSave(const SaveFileRequest &request) override
    {
        requests.append(request);
        return answer;
    }
    QList<SaveFileRequest> requests;
    SaveFileResult answer;
};

class FakeShell final : public IShell
{
public:
    void openUrl(const QString &url, QWidget *owner) override
    {
        opened.append(url);
        owners.append(owner);
    }
    QStringList opened;
    QList<QWidget *> owners;
};

// Starts nothing; says yes for the programs the test lets it start.
class FakeProcesses final : public IProcessLauncher
{
public:
    bool startDetached(const QString &program) override
    {
        tried.append(program);
        return startable.contains(program);
    }
    QStringList tried;
    QStringList startable;
};

// A registry of a few values, each stored as the bytes the test gives (8-bit text, with or
// without its terminating zero).
class FakeRegistry final : public IRegistry
{
public:
    struct Value
    {
        unsigned long type = REG_SZ;
        QByteArray bytes;
    };
    void set(const QString &key, const QString &name, const QByteArray &bytes,
             unsigned long type = REG_SZ)
    {
        values[key.toUpper()][name.toUpper()] = Value{type, bytes};
    }
    long RegOpenKeyEx(HKEY root, const QString &subKey, unsigned long access, HKEY *result) override
    {
        accessMasks.append(access);
        if (root != HKEY_LOCAL_MACHINE || !values.count(subKey.toUpper()))
            return ERROR_FILE_NOT_FOUND;
        if (readOnly && (access & ~0x20019ul))
            return ERROR_ACCESS_DENIED;
        opened.append(subKey.toUpper());
        *result = HKEY(opened.size());
        return ERROR_SUCCESS;
    }
    long RegQueryValueEx(HKEY key, const QString &valueName, unsigned long *type,
                         std::uint8_t *data, unsigned long *size) override
    {
        const auto &names = values[opened.value(qsizetype(key) - 1)];
        const auto found = names.find(valueName.toUpper());
        if (found == names.end())
            return ERROR_FILE_NOT_FOUND;
        *type = found->second.type;
        const unsigned long capacity = *size;
        *size = static_cast<unsigned long>(found->second.bytes.size());
        if (capacity < *size)
            return ERROR_MORE_DATA;
        std::memcpy(data, found->second.bytes.constData(), *size);
        return ERROR_SUCCESS;
    }
    long RegCloseKey(HKEY) override
    {
        ++closed;
        return ERROR_SUCCESS;
    }
    std::map<QString, std::map<QString, Value>> values;
    QStringList opened;
    QList<unsigned long> accessMasks;
    int closed = 0;
    bool readOnly = false; // as for a standard user below HKEY_LOCAL_MACHINE
};

// Pop-ups that close at once; each call is recorded, and a test may look around meanwhile.
class FakeConfirmations final : public IConfirmations
{
public:
    void ConfirmClipboard() override { record(QStringLiteral("Copied to Clipboard")); }
    void ConfirmSave() override { record(QStringLiteral("Saved to File")); }
    void ConfirmPrint() override { record(QStringLiteral("Printing Now")); }

    QStringList shown;
    std::function<void(const QString &)> whileShown;

private:
    void record(const QString &text)
    {
        shown.append(text);
        if (whileShown)
            whileShown(text);
    }
};

// A full set of scripted services at the design resolution.
struct FakeServices
{
    FakeScreen screen;
    FixedScreenMetrics metrics;
    FakeProgram program;
    FakeMessageBox messages;
    FakeEventPump events;
    FakeFiles files;
    FakeClipboard clipboard;
    FakePrinter printer;
    FakeFileDialogs dialogs;
    FakeShell shell;
    FakeProcesses processes;
    FakeRegistry registry;

    Services services()
    {
        Services s;
        s.screen = &screen;
        s.metrics = &metrics;
        s.program = &program;
        s.messages = &messages;
        s.events = &events;
        s.files = &files;
        s.clipboard = &clipboard;
        s.printer = &printer;
        s.dialogs = &dialogs;
        s.shell = &shell;
        s.processes = &processes;
        s.registry = &registry;
        return s;
    }
};
