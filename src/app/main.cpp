#include "app/CommandLine.h"
#include "app/GlimmerboxForm.h"
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
        if (asked.action != CommandLine::Run) {
            std::printf("%s\n", qPrintable(asked.answer()));
            return 0;
        }
    }
    QApplication app(argc, argv);
    const CommandLine line = CommandLine::parse(QApplication::arguments(), windows);
    if (line.action != CommandLine::Run) {
        // A Windows program has no terminal to print to: it answers in a message box.
        QMessageBox::information(nullptr, QStringLiteral("Glimmerbox"), line.answer());
        return 0;
    }
    // Lets desktops match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.moonferry.Glimmerbox"));
    // The main window hides itself during every grab; a message box closing meanwhile must not
    // end the program. Only closing the main window does.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform(line.arguments);
    GlimmerboxForm form(platform.services());
    QObject::connect(&form, &GlimmerboxForm::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    form.startUp();
    return QApplication::exec();
}
