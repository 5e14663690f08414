// The real main window on the real platform services under an X server: the first grab and a
// later one are the bare screen, pixel for pixel, without the program's own window.

#include "TestPattern.h"
#include "X11Checks.h"
#include "X11Screen.h"
#include "app/GlimmerboxForm.h"
#include "platform/qt/QtServices.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

class tst_CaptureX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstGrabIsTheScreen();
    void grabWithTheWindowShowingLeavesItOut();
    void cleanupTestCase();

private:
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<GlimmerboxForm> form;
    QImage pattern;
};

void tst_CaptureX11::initTestCase()
{
    REQUIRE_X11();
    QCOMPARE(X11Screen::size(), QSize(1024, 768));
    pattern = TestPattern::make(QSize(1024, 768), 7);
    QString error;
    QVERIFY2(X11Screen::setRootPicture(pattern, &error), qPrintable(error));
    QCOMPARE(TestPattern::differingPixels(X11Screen::dump(), pattern), 0);
}

void tst_CaptureX11::firstGrabIsTheScreen()
{
    platform = std::make_unique<QtPlatform>(QStringList{QStringLiteral("glimmerbox")});
    form = std::make_unique<GlimmerboxForm>(platform->services());
    form->startUp();
    QCOMPARE(form->CurrentImageLabel().text(),
             QStringLiteral("Entire Screen Shot Selected - W1024 x H768"));
    QCOMPARE(form->CurrentShotIndex(), 0);
    QCOMPARE(form->shots().GrabbedImage[0].size(), QSize(1024, 768));
    QCOMPARE(TestPattern::differingPixels(form->shots().GrabbedImage[0], pattern), 0);
    QCOMPARE(form->Picture1.scaleWidth(), 15360.0f);
    QCOMPARE(form->Picture1.scaleHeight(), 11520.0f);
}

void tst_CaptureX11::grabWithTheWindowShowingLeavesItOut()
{
    QVERIFY(form);
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // The window is really on the screen now.
    QTRY_VERIFY_WITH_TIMEOUT(TestPattern::differingPixels(X11Screen::dump(), pattern) > 100000,
                             5000);
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 1);
    QCOMPARE(TestPattern::differingPixels(form->shots().GrabbedImage[1], pattern), 0);
    QVERIFY(form->isVisible());
}

void tst_CaptureX11::cleanupTestCase()
{
    form.reset();
    platform.reset();
}

QTEST_MAIN(tst_CaptureX11)
#include "tst_capture_x11.moc"
