// The crop outline as the X server shows it: inverted pixels along the rectangle that come and
// go with the timer, and nothing after a thumbnail click.

#include "MouseDriver.h"
#include "TestPattern.h"
#include "X11Checks.h"
#include "X11Screen.h"
#include "XTools.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"
#include "platform/qt/QtServices.h"

#include <QtTest>

class tst_CropOutlineX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outlineBlinksOnScreen();
    void thumbnailClickRemovesIt();
    void cleanupTestCase();

private:
    enum class State
    {
        On,
        Off,
        Other
    };
    State stateOnScreen(const QImage &bitmap, QPoint edge, QPoint inside);

    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<GlimmerboxForm> form;
};

void tst_CropOutlineX11::initTestCase()
{
    REQUIRE_X11();
    QVERIFY(X11Screen::setRootPicture(TestPattern::make(X11Screen::size(), 11)));
    platform = std::make_unique<QtPlatform>(QStringList{QStringLiteral("glimmerbox")});
    form = std::make_unique<GlimmerboxForm>(platform->services());
    form->startUp();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
}

tst_CropOutlineX11::State tst_CropOutlineX11::stateOnScreen(const QImage &bitmap, QPoint edge,
                                                            QPoint inside)
{
    const QPoint origin = form->CurrentImage1().mapToGlobal(QPoint(2, 2));
    const QImage screen = X11Screen::dump();
    auto at = [&](QPoint p) {
        return screen.pixel(origin + p) & 0xffffff;
    };
    const QRgb edgeWas = bitmap.pixel(edge) & 0xffffff;
    const bool insideSame = at(inside) == (bitmap.pixel(inside) & 0xffffff);
    if (insideSame && at(edge) == (~edgeWas & 0xffffff))
        return State::On;
    if (insideSame && at(edge) == edgeWas)
        return State::Off;
    return State::Other;
}

void tst_CropOutlineX11::outlineBlinksOnScreen()
{
    QWidget *preview = &form->CurrentImage1();
    MouseDriver::drag(preview, QPoint(102, 82), QPoint(302, 202));
    const QImage bitmap = form->CurrentImage1().surface().image();
    // Left edge at drawing x 100, halfway down; a point well inside.
    const QPoint edge(100, 140);
    const QPoint inside(200, 140);
    QList<State> seen;
    XTools::waitFor(
        [&] {
            const State s = stateOnScreen(bitmap, edge, inside);
            if (s != State::Other && (seen.isEmpty() || seen.last() != s))
                seen.append(s);
            return seen.size() >= 5;
        },
        4000);
    QVERIFY2(seen.size() >= 5, qPrintable(QString::number(seen.size())));
    QVERIFY(seen.contains(State::On));
    QVERIFY(seen.contains(State::Off));
    // The right edge (drawing x 300, the last pixels of the two-pixel pen) and the bottom edge.
    QVERIFY(XTools::waitFor(
        [&] { return stateOnScreen(bitmap, QPoint(300, 140), inside) == State::On; }, 2000));
    QVERIFY(XTools::waitFor(
        [&] { return stateOnScreen(bitmap, QPoint(200, 200), inside) == State::On; }, 2000));
}

void tst_CropOutlineX11::thumbnailClickRemovesIt()
{
    MouseDriver::press(&form->GrabbedPicture(0), QPoint(20, 20));
    MouseDriver::release(&form->GrabbedPicture(0), QPoint(20, 20));
    const QImage bitmap = form->CurrentImage1().surface().image();
    int onCount = 0;
    int offCount = 0;
    XTools::waitFor(
        [&] {
            const State s = stateOnScreen(bitmap, QPoint(100, 140), QPoint(200, 140));
            onCount += s == State::On;
            offCount += s == State::Off;
            return false;
        },
        1200); // four ticks of the timer
    QCOMPARE(onCount, 0);
    QVERIFY(offCount > 0);
}

void tst_CropOutlineX11::cleanupTestCase()
{
    form.reset();
    platform.reset();
}

QTEST_MAIN(tst_CropOutlineX11)
#include "tst_cropoutline_x11.moc"
