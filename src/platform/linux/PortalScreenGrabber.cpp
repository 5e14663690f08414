#include "PortalScreenGrabber.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

QImage primaryScreenPart(const QImage &desktop)
{
    // The portal's picture covers every output; the shot is the primary screen's part of it.
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return desktop;
    QList<QRect> outputs;
    for (const QScreen *screen : QGuiApplication::screens())
        outputs.append(screen->geometry());
    // On one screen the part is the whole picture, which needs no copy.
    const QRect part = primaryScreenPart(desktop.size(), outputs, primary->geometry());
    return part == desktop.rect() ? desktop : desktop.copy(part);
}

// The shot a portal's answer holds, or why there is none.
ScreenGrab shotOf(uint response, const QVariantMap &results)
{
    if (response == 1)
        return Failure{QStringLiteral("the screenshot was cancelled")};
    if (response != 0)
        return Failure{QStringLiteral("the desktop could not take a screenshot")};

    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return Failure{QStringLiteral("the desktop gave no screenshot file to read")};
    const QString file = uri.toLocalFile();
    QImage image(file);
    // The file was written for this call only: it goes, read or not, so grabs leave nothing
    // behind in the user's folders.
    QFile::remove(file);
    if (image.isNull())
        return Failure{QStringLiteral("the screenshot file %1 could not be read").arg(file)};
    return asShot(primaryScreenPart(image));
}

} // namespace

ScreenGrab PortalScreenGrabber::grabPrimaryScreen()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failure{QStringLiteral("there is no desktop session bus to ask for a screenshot")};

    // The request's object path is known before the call, so the answer cannot be missed.
    const QString token = QStringLiteral("glimmerbox%1").arg(++m_calls);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    QString requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    PortalResponse catcher;
    const auto listen = [&](const QString &path) {
        return bus.connect(PortalService, path, QStringLiteral("org.freedesktop.portal.Request"),
                           QStringLiteral("Response"), &catcher,
                           SLOT(onResponse(uint, QVariantMap)));
    };
    listen(requestPath);

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&catcher, &PortalResponse::arrived, &loop, &QEventLoop::quit);
    limit.start(m_timeLimitMs);

    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    QDBusPendingCallWatcher watcher(bus.asyncCall(call, m_timeLimitMs));
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec();
    if (!watcher.isFinished())
        return Failure{QStringLiteral("the desktop's screenshot service did not answer within "
                                      "%1 seconds")
                           .arg(m_timeLimitMs / 1000)};
    const QDBusPendingReply<QDBusObjectPath> reply = watcher.reply();
    if (reply.isError())
        return Failure{QStringLiteral("the desktop's screenshot service (the desktop portal) "
                                      "is not available: %1")
                           .arg(reply.error().message())};
    // Older portals choose the request's path themselves.
    if (reply.value().path() != requestPath) {
        requestPath = reply.value().path();
        listen(requestPath);
    }

    while (!catcher.answered && limit.isActive())
        loop.exec();
    if (!catcher.answered)
        return Failure{QStringLiteral("the desktop's screenshot service did not answer within "
                                      "%1 seconds (if the desktop asked whether Glimmerbox may "
                                      "take screenshots, answer Allow, then grab again)")
                           .arg(m_timeLimitMs / 1000)};
    return shotOf(catcher.response, catcher.results);
}
