// The grab through the desktop portal on a Wayland desktop, against the portal's own Screenshot
// call alone: the same request, awaited until its Response, with nothing read. The two take
// turns. The file of each call alone is then read as the grab reads it, step by step, to show
// where the time between the two goes.
//
//   bench_portal picture FILE W H   writes a desktop-like picture of W x H pixels to FILE
//   bench_portal RUNS FILE          on a Wayland desktop: shows FILE on a full-screen window,
//                                   then medians in milliseconds

#include "BenchPattern.h"
#include "platform/ScreenGrabber.h"
#include "platform/linux/PortalScreenGrabber.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench_portal: %s\n", qPrintable(why));
    std::exit(1);
}

// The portal's Screenshot call as the grab makes it, awaited until the Response: the file the
// portal wrote.
QString portalAlone(int call)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    const QString token = QStringLiteral("bench%1").arg(call);
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    PortalResponse response;
    bus.connect(service,
                QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token),
                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                &response, SLOT(onResponse(uint, QVariantMap)));
    QDBusMessage request = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    request << QString()
            << QVariantMap{{QStringLiteral("handle_token"), token},
                           {QStringLiteral("interactive"), false}};
    const QDBusPendingCall pending = bus.asyncCall(request);
    QEventLoop loop;
    QObject::connect(&response, &PortalResponse::arrived, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!response.answered)
        fail(QStringLiteral("no Response to the portal's Screenshot call within 30 s%1")
                 .arg(pending.isError() ? QStringLiteral(": ") + pending.error().message()
                                        : QString()));
    const QUrl uri(response.results.value(QStringLiteral("uri")).toString());
    if (response.response != 0 || !uri.isLocalFile())
        fail(QStringLiteral("the portal's Screenshot call answered %1 without a file")
                 .arg(response.response));
    return uri.toLocalFile();
}

// The screen the grabs read: the picture from corner to corner.
class Screen final : public QRasterWindow
{
public:
    explicit Screen(const QImage &picture)
        : m_picture(picture)
    {}

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
    QImage m_picture;
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc == 5 && QLatin1String(argv[1]) == QLatin1String("picture"))
        return benchDesktop(QSize(atoi(argv[3]), atoi(argv[4]))).save(argv[2]) ? 0 : 1;
    if (argc != 3)
        return 2;
    const int runs = std::max(3, atoi(argv[1]));
    const QString file = QString::fromLocal8Bit(argv[2]);
    const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
    const std::unique_ptr<IScreenGrabber> grabber = chooseScreenGrabber();
    Screen shown(picture);
    shown.showFullScreen();

    // The window covers the screen a few frames after it shows: until then, and as a check of
    // the grab, the grab is tried for at most 30 s.
    QElapsedTimer clock;
    clock.start();
    ScreenGrab grab = Failure{QStringLiteral("none was made")};
    while (!(grab && *grab == picture) && clock.elapsed() < 30000)
        grab = grabber->grabPrimaryScreen();
    if (!(grab && *grab == picture))
        fail(QStringLiteral("in 30 s no grab through the portal showed %1: the last %2")
                 .arg(file, grab ? QStringLiteral("had other pixels")
                                 : QStringLiteral("failed: ") + grab.reason()));

    QList<QRect> outputs;
    for (const QScreen *screen : QGuiApplication::screens())
        outputs.append(screen->geometry());
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    std::vector<double> ours, alone, decode, cut, convert;
    const auto timeOurs = [&] {
        clock.start();
        const ScreenGrab grab = grabber->grabPrimaryScreen();
        ours.push_back(clock.nsecsElapsed() / 1e6);
        if (!grab || grab->size() != picture.size())
            fail(QStringLiteral("a grab through the portal failed: %1").arg(grab.reason()));
    };
    const auto timeAlone = [&](int call) {
        clock.start();
        const QString written = portalAlone(call);
        alone.push_back(clock.nsecsElapsed() / 1e6);
        // The grab's steps on the portal's file, as the grab takes them.
        clock.start();
        const QImage image(written);
        decode.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        QImage part = image.copy(primaryScreenPart(image.size(), outputs, primary));
        cut.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        const ScreenGrab shot = asShot(std::move(part));
        convert.push_back(clock.nsecsElapsed() / 1e6);
        if (shot->size() != picture.size() || !QFile::remove(written))
            fail(QStringLiteral("the portal's file %1 held no screen of its size").arg(written));
    };
    // Each goes first every other time, so that whatever else the machine does, and whatever
    // the desktop does after an answer, weighs on both alike.
    for (int i = 0; i < runs; ++i) {
        if (i % 2)
            timeAlone(i), timeOurs();
        else
            timeOurs(), timeAlone(i);
    }
    std::printf("portal_grab_ms %.1f\nportal_alone_ms %.1f\ndecode_ms %.1f\ncut_ms %.1f\n"
                "convert_ms %.1f\n",
                median(ours), median(alone), median(decode), median(cut), median(convert));
    return 0;
}
