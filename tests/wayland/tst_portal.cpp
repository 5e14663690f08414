// The portal's answers that its wlr back-end never gives, from a stand-in back-end in this very
// process behind the real portal front-end: each one ends the grab with its cause and no picture,
// and leaves no file of the portal's behind.

#include "platform/linux/PortalScreenGrabber.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QtTest>

class StandInBackEnd : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.impl.portal.Screenshot")

public:
    QString answer;
    QString file;

public slots:
    uint Screenshot(const QDBusObjectPath &, const QString &, const QString &, const QVariantMap &,
                    QVariantMap &results)
    {
        if (answer == QLatin1String("none"))
            setDelayedReply(true); // and the reply never comes
        if (answer != QLatin1String("unreadable"))
            return answer == QLatin1String("cancel") ? 1 : 2;
        QFile garbage(file);
        if (garbage.open(QIODevice::WriteOnly))
            garbage.write("no picture");
        results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(file).toString());
        return 0;
    }
};

class tst_Portal : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    StandInBackEnd backEnd;
    QProcess frontEnd;

private slots:
    void initTestCase()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "no session bus: run the test under dbus-run-session");
        const QString name = QStringLiteral("org.freedesktop.impl.portal.desktop.glimmerboxtest");
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &backEnd,
                                   QDBusConnection::ExportAllSlots) &&
                bus.registerService(name));
        // The front-end offers Screenshot only where some back-end also offers Access.
        QFile description(work.filePath(QStringLiteral("glimmerboxtest.portal")));
        QVERIFY(description.open(QIODevice::WriteOnly));
        description.write("[portal]\nDBusName=" + name.toUtf8() +
                          "\nInterfaces=org.freedesktop.impl.portal.Screenshot;"
                          "org.freedesktop.impl.portal.Access;\nUseIn=glimmerboxtest\n");
        description.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DESKTOP_PORTAL_DIR"), work.path());
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("glimmerboxtest"));
        frontEnd.setProcessEnvironment(env);
        frontEnd.setProcessChannelMode(QProcess::ForwardedChannels);
        frontEnd.start(QStringLiteral("/usr/libexec/xdg-desktop-portal"), {});
        QVERIFY2(frontEnd.waitForStarted(), "the portal front-end is missing");
        QTRY_VERIFY2_WITH_TIMEOUT(
            bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.portal.Desktop")),
            "the portal front-end did not come up", 10000);
    }

    void cleanupTestCase()
    {
        frontEnd.kill();
        frontEnd.waitForFinished();
    }

    void failuresSayWhy_data()
    {
        // The stand-in gives the row's answer; %1 is the file it hands over.
        QTest::addColumn<QString>("cause");
        QTest::newRow("cancel") << "the screenshot was cancelled";
        QTest::newRow("refuse") << "the desktop could not take a screenshot";
        QTest::newRow("unreadable") << "the screenshot file %1 could not be read";
        QTest::newRow("none") << "the desktop's screenshot service did not answer within 2 seconds "
                                 "(if the desktop asked whether Glimmerbox may take screenshots, "
                                 "answer Allow, then grab again)";
    }

    void failuresSayWhy()
    {
        QFETCH(QString, cause);
        backEnd.answer = QString::fromLatin1(QTest::currentDataTag());
        backEnd.file = work.filePath(backEnd.answer + QLatin1String(".png"));
        // A grab that never returns stops the test with the reason, rather than hanging it.
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [] { qFatal("the grab did not return within 8 s"); });
        watchdog.start(8000);
        const ScreenGrab grab = PortalScreenGrabber(2000).grabPrimaryScreen();
        QVERIFY(!grab);
        QCOMPARE(grab.reason(), cause.replace(QLatin1String("%1"), backEnd.file));
        QVERIFY2(!QFile::exists(backEnd.file), "the portal's file was left behind");
    }
};

QTEST_MAIN(tst_Portal)
#include "tst_portal.moc"
