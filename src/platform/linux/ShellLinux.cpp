#include "platform/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void SystemShell::openUrl(const QString &url, QWidget *)
{
    // The desktop's opener is started on its own; Qt does not wait for the browser.
    QDesktopServices::openUrl(QUrl(url));
}

bool SystemProcessLauncher::startDetached(const QString &program)
{
    return QProcess::startDetached(program, {});
}
