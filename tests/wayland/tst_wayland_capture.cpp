// On a real Wayland desktop (sway, the desktop portal with the wlr back-end), whichever Qt
// platform the program runs on: the first grab is the screen pixel for pixel, through the
// portal, and the file the portal wrote is gone afterwards.

#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/qt/QtServices.h"

#include <QFile>
#include <QLabel>
#include <QtTest>

class tst_WaylandCapture : public QObject
{
    Q_OBJECT

private slots:
    void grabsTheScreenThroughThePortal();
};

void tst_WaylandCapture::grabsTheScreenThroughThePortal()
{
    QVERIFY2(qEnvironmentVariableIsSet("WAYLAND_DISPLAY"), "run inside the Wayland test session");
    const QImage expected(qEnvironmentVariable("GLIMMERBOX_PATTERN"));
    QVERIFY2(!expected.isNull(), "GLIMMERBOX_PATTERN names no picture");
    QFile::remove(QStringLiteral("/tmp/out.png"));

    QtPlatform platform({QStringLiteral("glimmerbox")});
    GlimmerboxForm form(platform.services());
    form.startUp();
    QCOMPARE(form.CurrentShotIndex(), 0);
    QCOMPARE(form.CurrentImageLabel().text(),
             QStringLiteral("Entire Screen Shot Selected - W1024 x H768"));
    const QImage shot = form.shots().GrabbedImage[0];
    QCOMPARE(shot.size(), expected.size());
    // Not the all-black picture a plain grab gives on XWayland.
    QVERIFY(TestPattern::differingPixels(shot, QImage(shot.size(), QImage::Format_RGB32)) > 0);
    const qsizetype differing = TestPattern::differingPixels(shot, expected);
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    QVERIFY2(!QFile::exists(QStringLiteral("/tmp/out.png")), "the portal's file was left behind");

    // With the window up (sway gives it the whole output), a grab hides it first.
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.GrabButton_Click();
    QCOMPARE(form.CurrentShotIndex(), 1);
    QCOMPARE(TestPattern::differingPixels(form.shots().GrabbedImage[1], expected), 0);
}

QTEST_MAIN(tst_WaylandCapture)
#include "tst_wayland_capture.moc"
