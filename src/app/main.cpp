#include "app/GlimmerboxForm.h"
#include "platform/qt/QtServices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets desktops match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.moonferry.Glimmerbox"));
    // The main window hides itself during every grab; a message box closing meanwhile must not
    // end the program. Only closing the main window does.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform platform(QApplication::arguments());
    GlimmerboxForm form(platform.services());
    QObject::connect(&form, &GlimmerboxForm::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    form.startUp();
    return QApplication::exec();
}
