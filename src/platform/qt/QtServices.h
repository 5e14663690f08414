#pragma once

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFacts.h"
#include "platform/Registry.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenMetrics.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/qt/QtPrinter.h"

#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

class QPrinter;
class QWidget;

class QtScreenMetrics final : public IScreenMetrics
{
public:
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
};

class QtProgramFacts final : public IProgramFacts
{
public:
    // The arguments as the application received them, its own name first.
    explicit QtProgramFacts(QStringList arguments);
    QString folder() const override;
    QString title() const override;
    ProgramVersion version() const override;
    QString arguments() const override;

private:
    QStringList m_arguments;
};

class QtMessageBox final : public IMessageBox
{
public:
    explicit QtMessageBox(const IProgramFacts &program)
        : m_program(program)
    {}
    void warn(const QString &title, const QString &text) override;
    void inform(const QString &title, const QString &text) override;
    bool ask(const QString &title, const QString &text) override;

private:
    int show(const QString &title, const QString &text, int icon, int buttons);
    const IProgramFacts &m_program;
};

class QtEventPump final : public IEventPump
{
public:
    void doEvents() override;
    void runFor(int milliseconds) override;
    double monotonicSeconds() const override;
};

class QtFiles final : public IFiles
{
public:
    bool exists(const QString &path) const override;
    Result<> mayWrite(const QString &path) const override;
    Result<> replaceSafely(const QString &target, const Writer &writer) override;
};

class QtClipboard final : public IClipboard
{
public:
    bool setBitmap(const QImage &picture) override;
};

class QtFileDialogs final : public IFileDialogs
{
public:
    SaveFileResult showSave(const SaveFileRequest &request) override;
};

// The real services, as the program runs on them.
class QtPlatform
{
public:
    explicit QtPlatform(QStringList arguments);
    Services services();

private:
    std::unique_ptr<IScreenGrabber> m_screen;
    QtScreenMetrics m_metrics;
    QtProgramFacts m_program;
    QtMessageBox m_messages;
    QtEventPump m_events;
    QtFiles m_files;
    QtClipboard m_clipboard;
    QtPrinter m_printer;
    QtFileDialogs m_dialogs;
    SystemShell m_shell;
    SystemProcessLauncher m_processes;
    std::unique_ptr<IRegistry> m_registry;
};
