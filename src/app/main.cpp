#include "app/CommandLine.h"
#include "app/GlimmerboxForm.h"
#include "app/PrintScreen.h"
#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char *argv[])
{
    const bool windows = QSysInfo::productType() == QLatin1String("windows");
    if (!windows) {
        // Asked in a terminal, the answer needs no display.
        QStringList raw;
        for (int i = 0; i < argc; ++i)
            raw.append(QString::fromLocal8Bit(argv[i]));
        const CommandLine asked = CommandLine::parse(raw, false);
        if (asked.action == CommandLine::Help || asked.action == CommandLine::Version) {
            std::printf("%s\n", qPrintable(asked.answer()));
            return 0;
        }
        // Without a screen only a running Glimmerbox could print it.
        if (const Result<> screen = screenAvailable();
            asked.action == CommandLine::PrintScreen && !screen) {
            QCoreApplication core(argc, argv);
            const std::optional<int> status = printScreenThroughRunningProgram();
            return status ? *status : printScreenFailed(screen.reason());
        }
    }
    QApplication app(argc, argv);
    // The main window hides itself during every grab, and --print-screen shows no window but
    // the pop-up: a window closing must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    const CommandLine line = CommandLine::parse(QApplication::arguments(), windows);
    if (line.action == CommandLine::Help || line.action == CommandLine::Version) {
        // A Windows program has no terminal to print to: it answers in a message box.
        QMessageBox::information(nullptr, QStringLiteral("Glimmerbox"), line.answer());
        return 0;
    }
    if (line.action == CommandLine::PrintScreen) {
        if (const std::optional<int> status = printScreenThroughRunningProgram())
            return *status;
        QtPlatform platform(line.arguments);
        return printScreenHere(platform.services());
    }
    // Lets desktops match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.moonferry.Glimmerbox"));

    QtPlatform platform(line.arguments);
    GlimmerboxForm form(platform.services());
    form.takeDesktopRequests();
    QObject::connect(&form, &GlimmerboxForm::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    form.startUp();
    return QApplication::exec();
}
