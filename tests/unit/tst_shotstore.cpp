// The shot store through the real main window on scripted services: which slot each grab fills,
// what a thumbnail press does, and what the status label says.

#include "Fakes.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"

#include <QLabel>
#include <QtTest>

#include <memory>

class tst_ShotStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpGrabsIntoSlotZero();
    void grabsFillSlotsInTurn();
    void thumbnailPressMakesTheNextGrabReplaceIt();
    void rightPressChangesNothing();
    void emptySlotShowsThePlaceholder();
    void autoDumpArgumentSkipsTheFirstGrab_data();
    void autoDumpArgumentSkipsTheFirstGrab();
    void shotsAreHeldOnce();
    void failedCaptureStoresNothing();
    void grabPausesHalfASecondWithTheWindowHidden();

private:
    void start(const QString &args = {});
    int sunkenThumbnail();
    void pressThumbnail(int index, Qt::MouseButton button);

    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
};

void tst_ShotStore::init()
{
    fakes = std::make_unique<FakeServices>();
    // Each grab sees a different screen: seed = grab number.
    fakes->screen.next = [](int n) {
        return TestPattern::make(QSize(1024, 768), n);
    };
}

void tst_ShotStore::cleanup()
{
    form.reset();
    fakes.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ShotStore::start(const QString &args)
{
    fakes->program.args = args;
    form = std::make_unique<GlimmerboxForm>(fakes->services());
    form->startUp();
}

int tst_ShotStore::sunkenThumbnail()
{
    int found = -1;
    for (int i = 0; i < ShotStore::SlotCount; ++i) {
        if (form->GrabbedPicture(i).look() == PictureBox::Look::Sunken) {
            if (found != -1)
                return -2; // more than one
            found = i;
        }
    }
    return found;
}

void tst_ShotStore::pressThumbnail(int index, Qt::MouseButton button)
{
    QTest::mousePress(&form->GrabbedPicture(index), button, {}, QPoint(20, 20));
    QTest::mouseRelease(&form->GrabbedPicture(index), button, {}, QPoint(20, 20));
}

void tst_ShotStore::startUpGrabsIntoSlotZero()
{
    start();
    QCOMPARE(fakes->screen.grabs, 1);
    QCOMPARE(form->CurrentShotIndex(), 0);
    QCOMPARE(form->CurrentImageLabel().text(),
             QStringLiteral("Entire Screen Shot Selected - W1024 x H768"));
    QCOMPARE(form->GrabbedPicture(0).tag(), QStringLiteral("NotEmpty"));
    for (int i = 1; i < ShotStore::SlotCount; ++i)
        QCOMPARE(form->GrabbedPicture(i).tag(), QString());
    QCOMPARE(form->shots().GrabbedImage[0], TestPattern::make(QSize(1024, 768), 1));
    QCOMPARE(form->Picture1.scaleWidth(), 15360.0f);
    QCOMPARE(form->Picture1.scaleHeight(), 11520.0f);
    QCOMPARE(form->windowTitle(), QStringLiteral("Glimmerbox v1.04"));
    QVERIFY(form->isVisible());
    QVERIFY(form->Timer1().isActive());
    QCOMPARE(form->LastSaveFolder, QStringLiteral("/opt/glimmerbox"));
}

void tst_ShotStore::grabsFillSlotsInTurn()
{
    start(); // grab 1 -> slot 0
    const int expected[] = {1, 2, 3, 4, 0, 1};
    int grab = 1;
    for (int slot : expected) {
        form->GrabButton_Click();
        ++grab;
        QCOMPARE(form->CurrentShotIndex(), slot);
        QCOMPARE(sunkenThumbnail(), slot);
        QCOMPARE(form->shots().GrabbedImage[slot], TestPattern::make(QSize(1024, 768), grab));
    }
    // Slot 0 now holds grab 6, which overwrote grab 1.
    QCOMPARE(form->shots().GrabbedImage[0], TestPattern::make(QSize(1024, 768), 6));
}

void tst_ShotStore::thumbnailPressMakesTheNextGrabReplaceIt()
{
    start();
    for (int i = 0; i < 4; ++i)
        form->GrabButton_Click(); // slots 1..4 filled, current 4
    pressThumbnail(3, Qt::LeftButton);
    QCOMPARE(form->CurrentShotIndex(), 3);
    QCOMPARE(sunkenThumbnail(), 3);
    QVERIFY(form->shots().ReplaceSelectedShot);

    form->GrabButton_Click(); // replaces slot 3 with grab 6
    QCOMPARE(form->CurrentShotIndex(), 3);
    QCOMPARE(form->shots().GrabbedImage[3], TestPattern::make(QSize(1024, 768), 6));
    QVERIFY(!form->shots().ReplaceSelectedShot);
    form->GrabButton_Click(); // and the next goes behind it
    QCOMPARE(form->CurrentShotIndex(), 4);
    QCOMPARE(form->shots().GrabbedImage[4], TestPattern::make(QSize(1024, 768), 7));
}

void tst_ShotStore::rightPressChangesNothing()
{
    start();
    form->GrabButton_Click();
    const QImage preview = form->CurrentImage1().shown();
    pressThumbnail(0, Qt::RightButton);
    pressThumbnail(0, Qt::MiddleButton);
    QCOMPARE(form->CurrentShotIndex(), 1);
    QCOMPARE(sunkenThumbnail(), 1);
    QVERIFY(!form->shots().ReplaceSelectedShot);
    QCOMPARE(form->CurrentImage1().shown(), preview);
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 2);
}

void tst_ShotStore::emptySlotShowsThePlaceholder()
{
    start();
    form->x1 = 100;
    form->x2 = 200;
    form->y1 = 100;
    form->y2 = 300;
    pressThumbnail(2, Qt::LeftButton);
    QCOMPARE(form->CurrentImageLabel().text(), QStringLiteral("Screen Shot - Empty"));
    const QImage placeholder(QStringLiteral(":/glimmerbox/placeholder.jpg"));
    QCOMPARE(form->Picture1.image().size(), placeholder.size());
    QCOMPARE(TestPattern::meanDifference(form->Picture1.image(),
                                         placeholder.convertToFormat(QImage::Format_RGB32)),
             0.0);
    // The preview shows the placeholder stretched over its drawing area.
    const QImage shown = form->CurrentImage1().shown();
    const QImage expected =
        placeholder.scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY2(TestPattern::meanDifference(shown, expected) < 8,
             qPrintable(QString::number(TestPattern::meanDifference(shown, expected))));
    // Selecting a slot discards the crop.
    QCOMPARE(form->x1, 0.0f);
    QCOMPARE(form->x2, 0.0f);
    QCOMPARE(form->y1, 0.0f);
    QCOMPARE(form->y2, 0.0f);
}

void tst_ShotStore::autoDumpArgumentSkipsTheFirstGrab_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<bool>("autoDump");
    QTest::newRow("upper") << "/A" << true;
    QTest::newRow("lower") << "/a" << true;
    QTest::newRow("switch with more text") << "/A x" << false;
    QTest::newRow("other switch") << "/B" << false;
    QTest::newRow("none") << "" << false;
}

void tst_ShotStore::autoDumpArgumentSkipsTheFirstGrab()
{
    QFETCH(QString, args);
    QFETCH(bool, autoDump);
    start(args);
    if (autoDump) {
        QCOMPARE(fakes->screen.grabs, 0);
        QCOMPARE(form->CurrentShotIndex(), -1);
        for (int i = 0; i < ShotStore::SlotCount; ++i)
            QCOMPARE(form->GrabbedPicture(i).tag(), QString());
        QCOMPARE(form->tag(), QStringLiteral("AutoDump"));
        QVERIFY(fakes->messages.shown.isEmpty());
        QVERIFY(form->windowState() & Qt::WindowMinimized);
        // The first grab after such a start goes to slot 0.
        QCOMPARE(sunkenThumbnail(), 0);
    } else {
        QCOMPARE(fakes->screen.grabs, 1);
        QCOMPARE(form->CurrentShotIndex(), 0);
        QCOMPARE(form->tag(), QString());
    }
    QVERIFY(form->Timer1().isActive());
}

void tst_ShotStore::shotsAreHeldOnce()
{
    start();
    form->GrabButton_Click();
    // The slot, the full-size buffer and what the store hands out share one pixel buffer.
    QCOMPARE(form->Picture1.image().constBits(), form->shots().GrabbedImage[1].constBits());
    QVERIFY(form->shots().GrabbedImage[0].constBits() != form->shots().GrabbedImage[1].constBits());
}

void tst_ShotStore::failedCaptureStoresNothing()
{
    start();
    fakes->screen.next = [](int) {
        return QImage();
    };
    const QImage before = form->shots().GrabbedImage[1];
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 0);
    QCOMPARE(form->GrabbedPicture(1).tag(), QString());
    QCOMPARE(form->shots().GrabbedImage[1], before);
    QVERIFY(form->isVisible());
    QCOMPARE(fakes->messages.shown.size(), 1);
    // The next grab that works still goes to slot 1.
    fakes->screen.next = [](int n) {
        return TestPattern::make(QSize(640, 480), n);
    };
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 1);
    QCOMPARE(form->CurrentImageLabel().text(),
             QStringLiteral("Entire Screen Shot Selected - W640 x H480"));

    // A thumbnail chosen for replacing stays chosen through a failed grab.
    pressThumbnail(0, Qt::LeftButton);
    fakes->screen.next = [](int) {
        return QImage();
    };
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 0);
    fakes->screen.next = [](int n) {
        return TestPattern::make(QSize(320, 240), n);
    };
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 0);
    QCOMPARE(form->shots().GrabbedImage[0].size(), QSize(320, 240));
    QCOMPARE(form->GrabbedPicture(2).tag(), QString());
}

void tst_ShotStore::grabPausesHalfASecondWithTheWindowHidden()
{
    start();
    bool hiddenDuringCapture = false;
    double capturedAt = 0;
    const double before = fakes->events.now;
    fakes->screen.next = [&](int n) {
        hiddenDuringCapture = !form->isVisible();
        capturedAt = fakes->events.now;
        return TestPattern::make(QSize(800, 600), n);
    };
    form->GrabButton_Click();
    QVERIFY(hiddenDuringCapture);
    QVERIFY(capturedAt - before >= 0.5);
    QVERIFY(capturedAt - before < 0.51);
    QVERIFY(form->isVisible());
    // Waiting is done in the message loop, not by spinning.
    QVERIFY(fakes->events.runForCalls <= 2);
    QVERIFY(fakes->events.doEventsCalls >= 1);
}

QTEST_MAIN(tst_ShotStore)
#include "tst_shotstore.moc"
