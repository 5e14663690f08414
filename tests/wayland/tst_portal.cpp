// The screenshot through the desktop portal, against the real portal front-end with a stand-in
// back-end on a session bus of the test's own: a good answer becomes the shot and its file goes;
// every failure says why, changes nothing, and an Auto-Dump cycle then prints nothing.

#include "Fakes.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"
#include "platform/linux/PortalScreenGrabber.h"
#include "platform/qt/QtServices.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString BackendName = QStringLiteral("org.freedesktop.impl.portal.desktop.glimmerboxtest");

bool waitForName(const QString &name, bool owned, int timeoutMs = 10000)
{
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (bus->isServiceRegistered(name).value() == owned)
            return true;
        QTest::qWait(20);
    }
    return false;
}

} // namespace

class tst_Portal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void theSessionDecidesTheBackEnd();
    void goodAnswerBecomesTheShot();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void onlyThePrimaryScreenIsKept_data();
    void onlyThePrimaryScreenIsKept();

private:
    void startPortal(const QString &mode);
    void stopPortal();

    QTemporaryDir work;
    QProcess bus;
    QProcess backend;
    QProcess frontend;
    QImage pattern;
};

void tst_Portal::initTestCase()
{
    for (const char *tool : {"dbus-daemon", "/usr/libexec/xdg-desktop-portal"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty() ||
                     QFile::exists(QLatin1String(tool)),
                 tool);
    // A bus of our own that starts nothing by itself: the only portal is the one started here.
    QFile templ(QStringLiteral(SESSION_BUS_CONF));
    QVERIFY(templ.open(QIODevice::ReadOnly));
    QFile conf(work.filePath(QStringLiteral("bus.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(templ.readAll().replace("@RUNTIME_DIR@", QFile::encodeName(work.path())));
    conf.close();
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--config-file=") + conf.fileName(), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    QVERIFY(bus.waitForStarted());
    QVERIFY(bus.waitForReadyRead(10000));
    const QByteArray address = bus.readLine().trimmed();
    QVERIFY(!address.isEmpty());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QVERIFY(QDBusConnection::sessionBus().isConnected());

    QDir(work.path()).mkdir(QStringLiteral("portals"));
    QFile portal(work.filePath(QStringLiteral("portals/glimmerboxtest.portal")));
    QVERIFY(portal.open(QIODevice::WriteOnly));
    portal.write("[portal]\nDBusName=" + BackendName.toLatin1() +
                 "\nInterfaces=org.freedesktop.impl.portal.Screenshot;"
                 "org.freedesktop.impl.portal.Access;\nUseIn=glimmerboxtest\n");
    portal.close();
    pattern = TestPattern::make(QSize(800, 600), 12);
    QVERIFY(pattern.save(work.filePath(QStringLiteral("screen.png"))));
}

void tst_Portal::cleanupTestCase()
{
    stopPortal();
    bus.kill();
    bus.waitForFinished();
}

void tst_Portal::startPortal(const QString &mode)
{
    stopPortal();
    if (mode == QLatin1String("none"))
        return;
    backend.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    backend.start(QStringLiteral(FAKEPORTAL_EXE),
                  {BackendName, mode, work.filePath(QStringLiteral("screen.png"))});
    QVERIFY(backend.waitForStarted());
    QVERIFY(waitForName(BackendName, true));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DESKTOP_PORTAL_DIR"), work.filePath(QStringLiteral("portals")));
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("glimmerboxtest"));
    frontend.setProcessEnvironment(env);
    frontend.setStandardOutputFile(work.filePath(QStringLiteral("portal.log")));
    frontend.setStandardErrorFile(work.filePath(QStringLiteral("portal.log")), QIODevice::Append);
    frontend.start(QStringLiteral("/usr/libexec/xdg-desktop-portal"), {});
    QVERIFY(frontend.waitForStarted());
    QVERIFY2(waitForName(QStringLiteral("org.freedesktop.portal.Desktop"), true),
             "the portal front-end did not come up");
}

void tst_Portal::stopPortal()
{
    for (QProcess *p : {&frontend, &backend}) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished();
        }
    }
    waitForName(QStringLiteral("org.freedesktop.portal.Desktop"), false);
    waitForName(BackendName, false);
}

void tst_Portal::theSessionDecidesTheBackEnd()
{
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray type = qgetenv("XDG_SESSION_TYPE");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", "x11");
    QVERIFY(dynamic_cast<QtScreenGrabber *>(chooseScreenGrabber().get()));
    qputenv("XDG_SESSION_TYPE", "wayland");
    QVERIFY(dynamic_cast<PortalScreenGrabber *>(chooseScreenGrabber().get()));
    qputenv("XDG_SESSION_TYPE", "x11");
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    QVERIFY(dynamic_cast<PortalScreenGrabber *>(chooseScreenGrabber().get()));
    qputenv("WAYLAND_DISPLAY", wayland);
    if (wayland.isNull())
        qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", type);
}

void tst_Portal::goodAnswerBecomesTheShot()
{
    startPortal(QStringLiteral("ok"));
    PortalScreenGrabber grabber(5000);
    const ScreenGrab grab = grabber.grabPrimaryScreen();
    QVERIFY2(grab.error.isEmpty(), qPrintable(grab.error));
    QCOMPARE(TestPattern::differingPixels(grab.image, pattern), 0);
    // The file written for this call is gone; the picture it was copied from is not.
    const QStringList left = QDir::temp().entryList({QStringLiteral("glimmerbox-fakeportal-*")});
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    QVERIFY(QFile::exists(work.filePath(QStringLiteral("screen.png"))));
}

void tst_Portal::failuresChangeNothing_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("cause");
    QTest::newRow("cancel") << "cancel"
                            << "cancelled";
    QTest::newRow("failure") << "fail"
                             << "could not take a screenshot";
    QTest::newRow("missing file") << "missing"
                                  << "could not be read";
    QTest::newRow("no portal") << "none"
                               << "not available";
    QTest::newRow("no answer") << "silent"
                               << "did not answer";
}

void tst_Portal::failuresChangeNothing()
{
    QFETCH(QString, mode);
    QFETCH(QString, cause);
    startPortal(QStringLiteral("ok"));
    FakeServices fakes;
    PortalScreenGrabber grabber(3000);
    Services services = fakes.services();
    services.screen = &grabber;
    GlimmerboxForm form(services);
    form.setConfirmations(std::make_unique<FakeConfirmations>());
    form.startUp();
    QCOMPARE(form.CurrentShotIndex(), 0);
    QCOMPARE(TestPattern::differingPixels(form.shots().GrabbedImage[0], pattern), 0);
    const QImage preview = form.CurrentImage1().surface().image();
    const QImage slot1 = form.shots().GrabbedImage[1];
    const QString status = form.CurrentImageLabel().text();

    startPortal(mode);
    form.GrabButton_Click();
    QCOMPARE(fakes.messages.shown.size(), 1);
    QVERIFY2(fakes.messages.shown[0].text.contains(cause),
             qPrintable(fakes.messages.shown[0].text));
    QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Grab Screen"));
    QCOMPARE(form.CurrentShotIndex(), 0);
    QCOMPARE(form.GrabbedPicture(1).tag(), QString());
    QCOMPARE(form.shots().GrabbedImage[1], slot1);
    QCOMPARE(form.CurrentImage1().surface().image(), preview);
    QCOMPARE(form.CurrentImageLabel().text(), status);
    QVERIFY(form.isVisible());

    // An Auto-Dump cycle prints nothing then.
    form.AutoDumpButton_Click();
    form.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE_WITH_TIMEOUT(fakes.messages.shown.size(), 3, 10000); // explanation, failure
    QTRY_COMPARE(form.windowTitle(), QStringLiteral("Click to Print Screen"));
    QCOMPARE(fakes.printer.documents, 0);
    QCOMPARE(form.CurrentShotIndex(), 0);
}

QTEST_MAIN(tst_Portal)
void tst_Portal::onlyThePrimaryScreenIsKept_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QList<QRect>>("outputs");
    QTest::addColumn<QRect>("primary");
    QTest::addColumn<QRect>("kept");
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    QTest::newRow("one output") << QSize(1024, 768) << QList<QRect>{QRect(0, 0, 1024, 768)}
                                << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768);
    QTest::newRow("primary on the left")
        << QSize(3200, 1080) << QList<QRect>{left, right} << left << QRect(0, 0, 1920, 1080);
    QTest::newRow("primary on the right, shorter")
        << QSize(3200, 1080) << QList<QRect>{left, right} << right << QRect(1920, 0, 1280, 1024);
    QTest::newRow("an output left of the origin")
        << QSize(3200, 1080) << QList<QRect>{QRect(-1280, 0, 1280, 1024), QRect(0, 0, 1920, 1080)}
        << QRect(0, 0, 1920, 1080) << QRect(1280, 0, 1920, 1080);
    QTest::newRow("picture at twice the desktop's units")
        << QSize(6400, 2160) << QList<QRect>{left, right} << right << QRect(3840, 0, 2560, 2048);
}

void tst_Portal::onlyThePrimaryScreenIsKept()
{
    QFETCH(QSize, picture);
    QFETCH(QList<QRect>, outputs);
    QFETCH(QRect, primary);
    QFETCH(QRect, kept);
    QCOMPARE(primaryScreenPart(picture, outputs, primary), kept);
}

#include "tst_portal.moc"
