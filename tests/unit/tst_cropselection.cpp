// Crop selection driven by mouse events on the preview: corners, clamping, the size texts with
// their single-precision rounding, clearing, the hover tip, and the crop fractions.

#include "Fakes.h"
#include "MouseDriver.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "capture/CropSelection.h"
#include "platform/PictureBox.h"

#include <QLabel>
#include <QtTest>

using namespace MouseDriver;

// A preview of its own size beside the shot, as in the worked examples.
struct Bench
{
    Bench(QSize previewPixels, QSize shot, float twipsPerPixel)
        : picture1(twipsPerPixel, twipsPerPixel)
        , preview(twipsPerPixel, twipsPerPixel)
        , crop(state, preview, label, picture1)
    {
        picture1.setAutoSize(true);
        picture1.setPicture(TestPattern::make(shot));
        preview.place(QRect(QPoint(0, 0), previewPixels));
        QObject::connect(&preview, &PictureBox::mouseDown, [this](int b, int s, float x, float y) {
            crop.CurrentImage1_MouseDown(b, s, x, y);
        });
        QObject::connect(&preview, &PictureBox::mouseMove, [this](int b, int s, float x, float y) {
            crop.CurrentImage1_MouseMove(b, s, x, y);
        });
        QObject::connect(&preview, &PictureBox::mouseUp, [this](int b, int s, float x, float y) {
            crop.CurrentImage1_MouseUp(b, s, x, y);
        });
    }
    CropState state;
    PictureSurface picture1;
    PictureBox preview;
    QLabel label;
    CropSelection crop;
};

class tst_CropSelection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void workedExampleReadsW40xH20();
    void dragBackwardsOrdersTheCorners();
    void dragPastTheEdgesStopsThere();
    void clickWithoutMovingAndRightReleaseClear();
    void hoverTipNeedsARectangleWithNoEdgeAtZero();
    void fractions();
    void thumbnailClickDiscardsTheCrop();
    void outlineBlinksWithTheTimer();
    void pressOnTheBorderStartsNothing();

private:
    QPoint drawing(QPoint p) const { return p + QPoint(2, 2); } // inside the preview's border
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
};

void tst_CropSelection::init()
{
    fakes = std::make_unique<FakeServices>();
    fakes->screen.screen = TestPattern::make(QSize(1024, 768));
    form = std::make_unique<GlimmerboxForm>(fakes->services());
    form->startUp();
}

void tst_CropSelection::cleanup()
{
    form.reset();
    fakes.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_CropSelection::workedExampleReadsW40xH20()
{
    // A 1024 x 768 shot and a drawing area of 3840 x 2880 twips: 4/15 pixel per twip.
    Bench bench(QSize(256, 192), QSize(1024, 768), 15);
    QCOMPARE(bench.preview.surface().scaleWidth(), 3840.0f);
    press(&bench.preview, QPoint(20, 20));
    move(&bench.preview, QPoint(30, 25)); // 150 x 75 twips
    QCOMPARE(bench.label.text(), QStringLiteral("Selecting Window = W40 x H20"));
    release(&bench.preview, QPoint(30, 25));
    QCOMPARE(bench.label.text(), QStringLiteral("Crop Window Set = W40 x H20"));
    QCOMPARE(bench.state.x1, 300.0f);
    QCOMPARE(bench.state.x2, 450.0f);
    QCOMPARE(bench.state.y1, 300.0f);
    QCOMPARE(bench.state.y2, 375.0f);
}

void tst_CropSelection::dragBackwardsOrdersTheCorners()
{
    QWidget *preview = &form->CurrentImage1();
    drag(preview, drawing(QPoint(400, 300)), drawing(QPoint(100, 50)));
    QCOMPARE(form->x1, 1500.0f);
    QCOMPARE(form->x2, 6000.0f);
    QCOMPARE(form->y1, 750.0f);
    QCOMPARE(form->y2, 4500.0f);
    QVERIFY(form->CurrentImageLabel().text().startsWith(QLatin1String("Crop Window Set = W")));
}

void tst_CropSelection::dragPastTheEdgesStopsThere()
{
    QWidget *preview = &form->CurrentImage1();
    QStringList texts;
    press(preview, drawing(QPoint(0, 0)));
    for (QPoint p : {QPoint(300, 200), QPoint(600, 450), QPoint(900, 700), QPoint(2000, 2000)}) {
        move(preview, p);
        texts << form->CurrentImageLabel().text();
    }
    release(preview, QPoint(2000, 2000));
    QCOMPARE(form->x2, form->CurrentImage1().surface().scaleWidth());
    QCOMPARE(form->y2, form->CurrentImage1().surface().scaleHeight());
    static const QRegularExpression size(QStringLiteral("W(\\d+) x H(\\d+)"));
    for (const QString &text : texts) {
        const auto m = size.match(text);
        QVERIFY(m.hasMatch());
        QVERIFY2(m.captured(1).toInt() <= 1024 && m.captured(2).toInt() <= 768, qPrintable(text));
    }
    // Dragged over the whole preview, the rectangle is (within rounding) the whole shot.
    const auto last = size.match(texts.last());
    QVERIFY2(last.captured(1).toInt() >= 1023 && last.captured(2).toInt() >= 767,
             qPrintable(texts.last()));
}

void tst_CropSelection::clickWithoutMovingAndRightReleaseClear()
{
    QWidget *preview = &form->CurrentImage1();
    const QString entire = QStringLiteral("Entire Screen Shot Selected - W1024 x H768");
    drag(preview, drawing(QPoint(50, 50)), drawing(QPoint(150, 120)));
    press(preview, drawing(QPoint(70, 70)));
    release(preview, drawing(QPoint(70, 70)));
    QCOMPARE(form->x1, 0.0f);
    QCOMPARE(form->x2, 0.0f);
    QCOMPARE(form->y1, 0.0f);
    QCOMPARE(form->y2, 0.0f);
    QCOMPARE(form->CurrentImageLabel().text(), entire);

    drag(preview, drawing(QPoint(50, 50)), drawing(QPoint(150, 120)));
    press(preview, drawing(QPoint(10, 10)), Qt::RightButton);
    release(preview, drawing(QPoint(10, 10)), Qt::RightButton);
    QCOMPARE(form->x2, 0.0f);
    QCOMPARE(form->CurrentImageLabel().text(), entire);

    // A right release clears even when nothing was set, and shows the entire-shot text.
    form->CurrentImageLabel().setText(QStringLiteral("something else"));
    release(preview, drawing(QPoint(10, 10)), Qt::RightButton);
    QCOMPARE(form->CurrentImageLabel().text(), entire);
    // The middle button neither sets nor clears.
    drag(preview, drawing(QPoint(50, 50)), drawing(QPoint(150, 120)));
    press(preview, drawing(QPoint(10, 10)), Qt::MiddleButton);
    release(preview, drawing(QPoint(10, 10)), Qt::MiddleButton);
    QCOMPARE(form->x1, 750.0f);
}

void tst_CropSelection::hoverTipNeedsARectangleWithNoEdgeAtZero()
{
    QWidget *preview = &form->CurrentImage1();
    drag(preview, drawing(QPoint(50, 50)), drawing(QPoint(150, 120)));
    move(preview, drawing(QPoint(100, 100)), Qt::NoButton);
    QCOMPARE(preview->toolTip(), QStringLiteral("Right Click - to Clear Selection"));
    move(preview, drawing(QPoint(200, 100)), Qt::NoButton);
    QCOMPARE(preview->toolTip(), QStringLiteral("Select Area to be Printed"));
    // Left edge at 0: a real crop, but the tip does not offer to clear it.
    drag(preview, drawing(QPoint(0, 50)), drawing(QPoint(150, 120)));
    QCOMPARE(form->x1, 0.0f);
    move(preview, drawing(QPoint(100, 100)), Qt::NoButton);
    QCOMPARE(preview->toolTip(), QStringLiteral("Select Area to be Printed"));
}

void tst_CropSelection::fractions()
{
    // A 1000 x 500 twips drawing area at 10 twips per pixel.
    Bench bench(QSize(100, 50), QSize(1024, 768), 10);
    bench.crop.ComputeCropFractions();
    QVERIFY(bench.state.XRa == 0 && bench.state.XRw == 1 && bench.state.YRa == 0 &&
            bench.state.YRw == 1);
    drag(&bench.preview, QPoint(10, 5), QPoint(30, 15));
    bench.crop.ComputeCropFractions();
    QVERIFY(bench.state.XRa == 0.1f);
    QVERIFY(bench.state.YRa == 0.1f);
    QVERIFY(bench.state.XRw == 0.2f);
    QVERIFY(bench.state.YRw == 0.2f);
    // x1 = y1 = 0 is still a crop.
    drag(&bench.preview, QPoint(0, 0), QPoint(50, 25));
    bench.crop.ComputeCropFractions();
    QVERIFY(bench.state.XRa == 0 && bench.state.XRw == 0.5f && bench.state.YRw == 0.5f);
}

void tst_CropSelection::thumbnailClickDiscardsTheCrop()
{
    drag(&form->CurrentImage1(), drawing(QPoint(50, 50)), drawing(QPoint(150, 120)));
    QVERIFY(form->x2 != 0);
    press(&form->GrabbedPicture(0), QPoint(10, 10));
    QCOMPARE(form->x1, 0.0f);
    QCOMPARE(form->x2, 0.0f);
    QCOMPARE(form->y1, 0.0f);
    QCOMPARE(form->y2, 0.0f);
    form->ComputeCropFractions();
    QVERIFY(form->XRa == 0 && form->XRw == 1 && form->YRa == 0 && form->YRw == 1);
    for (int tick = 0; tick < 3; ++tick) {
        form->Timer1_Timer();
        QCOMPARE(form->CurrentImage1().shown(), form->CurrentImage1().surface().image());
    }
}

void tst_CropSelection::outlineBlinksWithTheTimer()
{
    QCOMPARE(form->Timer1().interval(), 300);
    PictureBox &preview = form->CurrentImage1();
    drag(&preview, drawing(QPoint(50, 50)), drawing(QPoint(150, 120)));
    const QImage bitmap = preview.surface().image();
    const bool visibleAfterDrag = preview.shown() != bitmap;
    QVERIFY(visibleAfterDrag);
    form->Timer1_Timer();
    QCOMPARE(preview.shown(), bitmap);
    form->Timer1_Timer();
    const QImage shown = preview.shown();
    QCOMPARE(shown.pixel(50, 80) & 0xffffff, ~bitmap.pixel(50, 80) & 0xffffff);
    QCOMPARE(shown.pixel(51, 80) & 0xffffff, ~bitmap.pixel(51, 80) & 0xffffff);
    QCOMPARE(shown.pixel(52, 80), bitmap.pixel(52, 80));
    QCOMPARE(shown.pixel(100, 80), bitmap.pixel(100, 80));
}

void tst_CropSelection::pressOnTheBorderStartsNothing()
{
    QWidget *preview = &form->CurrentImage1();
    press(preview, QPoint(0, 0));
    move(preview, QPoint(100, 100));
    release(preview, QPoint(100, 100));
    QCOMPARE(form->x1, 0.0f);
    QCOMPARE(form->x2, 0.0f);
    QCOMPARE(form->CurrentImageLabel().text(),
             QStringLiteral("Entire Screen Shot Selected - W1024 x H768"));
}

QTEST_MAIN(tst_CropSelection)
#include "tst_cropselection.moc"
