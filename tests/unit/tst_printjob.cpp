// The print job and its preview on a recording printer: the page composition, the order of the
// steps, the empty-slot message, printer setup, and the zoom bar.

#include "DialogDriver.h"
#include "Fakes.h"
#include "StartedForm.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"
#include "printing/PageComposition.h"
#include "printing/PrintPreviewForm.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

using TestPattern::isWhite;

void clickPrintNowAt(int value)
{
    whenShown<PrintPreviewForm>([value](PrintPreviewForm *preview) {
        preview->ZoomFactorBar()->setValue(value);
        preview->findChild<QPushButton *>(QStringLiteral("PrintButton"))->click();
    });
}

} // namespace

class tst_PrintJob : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void compositionOfTheWorkedExample();
    void wholeShotAtOneIsThePageItself();
    void halfZoomLeavesQuarterBands();
    void cropWithAnEdgeAtZeroCounts();
    void popupComesBeforeThePrinterAndOrientationEndsPortrait();
    void emptySlotIsRefused_data();
    void emptySlotIsRefused();
    void emptyAreaPrintsNoBlankPage();
    void failingPrinterStillEndsCleanly();
    void printerSetup();
    void zoomBar();
    void previewDrawing();

private:
    void start(const QString &args = {});
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
    FakeConfirmations *confirmations = nullptr;
    QImage pattern;
};

void tst_PrintJob::init()
{
    pattern = TestPattern::make(QSize(1024, 768), 9);
    fakes = std::make_unique<FakeServices>();
    fakes->screen.screen = pattern;
}

void tst_PrintJob::start(const QString &args)
{
    fakes->program.args = args;
    form = startedForm(fakes->services(), confirmations);
}

void tst_PrintJob::cleanup()
{
    form.reset();
    fakes.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_PrintJob::compositionOfTheWorkedExample()
{
    CropState whole;
    // A 1024 x 768 shot is a 15360 x 11520 twips canvas; at 0.75 the picture is 8 x 6 inches,
    // 1 1/3 inch right of and 1 inch below the corner.
    PageComposition page = composePage(QSizeF(15360, 11520), QSizeF(15360, 11520), whole, 0.75f);
    QCOMPARE(page.destination, QRectF(1920, 1440, 11520, 8640));
    QCOMPARE(page.source, QRectF(0, 0, 15360, 11520));
    page = composePage(QSizeF(15360, 11520), QSizeF(15360, 11520), whole, 2.0f);
    QCOMPARE(page.destination, QRectF(-7680, -5760, 30720, 23040));
    CropState rightHalf;
    rightHalf.XRa = 0.5f;
    rightHalf.XRw = 0.5f;
    page = composePage(QSizeF(15360, 11520), QSizeF(15360, 11520), rightHalf, 1.0f);
    QCOMPARE(page.destination, QRectF(3840, 0, 7680, 11520));
    QCOMPARE(page.source, QRectF(7680, 0, 7680, 11520));
}

void tst_PrintJob::wholeShotAtOneIsThePageItself()
{
    start();
    form->PrintCurrentShot(true);
    QCOMPARE(fakes->printer.drawn.size(), 1);
    const PrintedPicture &printed = fakes->printer.drawn.first();
    QCOMPARE(printed.x, 0.0f);
    QCOMPARE(printed.y, 0.0f);
    QCOMPARE(printed.orientation, int(IPrinter::Landscape));
    QCOMPARE(TestPattern::differingPixels(printed.picture, pattern), 0);
    QCOMPARE(fakes->printer.documents, 1);
    QCOMPARE(form->PrintZoom, 1.0f);
}

void tst_PrintJob::halfZoomLeavesQuarterBands()
{
    start();
    clickPrintNowAt(50);
    form->PrintButton_Click();
    QCOMPARE(form->PrintZoom, 0.5f);
    QCOMPARE(fakes->printer.drawn.size(), 1);
    const QImage page = fakes->printer.drawn.first().picture;
    QCOMPARE(page.size(), QSize(1024, 768));
    QVERIFY(isWhite(page, QRect(0, 0, 256, 768)));
    QVERIFY(isWhite(page, QRect(768, 0, 256, 768)));
    QVERIFY(isWhite(page, QRect(256, 0, 512, 192)));
    QVERIFY(isWhite(page, QRect(256, 576, 512, 192)));
    QVERIFY(!isWhite(page, QRect(256, 192, 1, 1)));
    QVERIFY(!isWhite(page, QRect(767, 575, 1, 1)));
}

void tst_PrintJob::cropWithAnEdgeAtZeroCounts()
{
    start();
    const float W = form->CurrentImage1().surface().scaleWidth();
    const float H = form->CurrentImage1().surface().scaleHeight();
    form->x1 = 0;
    form->y1 = 0;
    form->x2 = W / 2;
    form->y2 = H / 2;
    form->PrintCurrentShot(true);
    QCOMPARE(form->XRw, 0.5f);
    const QImage page = fakes->printer.drawn.first().picture;
    // The top-left quarter at its own size, in the middle of a white page image.
    QImage expected(1024, 768, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter(&expected).drawImage(QPoint(256, 192), pattern.copy(0, 0, 512, 384));
    QCOMPARE(TestPattern::differingPixels(page, expected), 0);
}

void tst_PrintJob::popupComesBeforeThePrinterAndOrientationEndsPortrait()
{
    start();
    bool untouched = false;
    bool hourglassAfterPopup = true;
    confirmations->whileShown = [&](const QString &) {
        untouched = fakes->printer.drawn.isEmpty() && fakes->printer.orientationLog.isEmpty();
        hourglassAfterPopup = form->cursor().shape() != Qt::WaitCursor;
    };
    clickPrintNowAt(100);
    form->PrintButton_Click();
    QCOMPARE(confirmations->shown, QStringList{"Printing Now"});
    QVERIFY(untouched);
    QVERIFY(hourglassAfterPopup);
    QCOMPARE(fakes->printer.orientationLog, (QList<int>{2, 1}));
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
}

void tst_PrintJob::emptySlotIsRefused_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("thumbnail");
    QTest::newRow("empty slot") << "" << 3;
    QTest::newRow("no shot at all") << "/A" << -1;
}

void tst_PrintJob::emptySlotIsRefused()
{
    QFETCH(QString, args);
    QFETCH(int, thumbnail);
    start(args);
    if (thumbnail >= 0)
        QTest::mousePress(&form->GrabbedPicture(thumbnail), Qt::LeftButton, {}, QPoint(10, 10));
    bool previewOpened = false;
    whenShown<PrintPreviewForm>(
        [&](PrintPreviewForm *preview) {
            previewOpened = true;
            preview->reject();
        },
        300);
    form->PrintButton_Click();
    QTest::qWait(400); // the preview would have shown by now
    QVERIFY(!previewOpened);
    QCOMPARE(fakes->messages.shown.size(), 1);
    QCOMPARE(fakes->messages.shown[0].title, QStringLiteral("Print Now"));
    QCOMPARE(fakes->messages.shown[0].text,
             QStringLiteral("Cannot be Printed.\r\nThe selected Screen Shot is Empty."));
    QCOMPARE(fakes->messages.shown[0].style, 48);
    QVERIFY(fakes->printer.drawn.isEmpty());
    QVERIFY(confirmations->shown.isEmpty());
}

void tst_PrintJob::emptyAreaPrintsNoBlankPage()
{
    start();
    form->x1 = form->x2 = 1500; // no width
    form->y1 = 0;
    form->y2 = form->CurrentImage1().surface().scaleHeight();
    form->PrintCurrentShot(false); // not even the preview opens
    form->PrintCurrentShot(true);
    QVERIFY(confirmations->shown.isEmpty());
    QVERIFY(fakes->printer.drawn.isEmpty());
    QCOMPARE(fakes->printer.documents, 0);
    QCOMPARE(fakes->messages.shown.size(), 2);
    QCOMPARE(fakes->messages.shown[0].text,
             QStringLiteral("The selected area has no width or no height: there is nothing to "
                            "print."));
    QCOMPARE(fakes->messages.shown[0].title, QStringLiteral("Print Now"));
}

void tst_PrintJob::failingPrinterStillEndsCleanly()
{
    start();
    fakes->printer.available = false;
    form->PrintCurrentShot(true);
    QCOMPARE(confirmations->shown, QStringList{"Printing Now"});
    QCOMPARE(fakes->printer.documents, 0);
    QCOMPARE(fakes->printer.orientationValue, int(IPrinter::Portrait));
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 1);
}

void tst_PrintJob::printerSetup()
{
    start();
    form->PrinterSetupMenuItem_Click(); // cancelled
    QCOMPARE(fakes->printer.setupShown, 1);
    QCOMPARE(fakes->printer.deviceName(), QStringLiteral("Recording Printer"));
    // From the preview's own button; the label keeps the name read when the window opened.
    fakes->printer.setupChoosesPrinter = QStringLiteral("Other Printer");
    QString labelAfterSetup;
    whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
        preview->findChild<QPushButton *>(QStringLiteral("PrinterSetupButton"))->click();
        labelAfterSetup = preview->PrinterNameLabel()->text();
        preview->reject();
    });
    form->PrintButton_Click();
    QCOMPARE(fakes->printer.setupShown, 2);
    QCOMPARE(labelAfterSetup, QStringLiteral("Recording Printer"));
    QCOMPARE(fakes->printer.deviceName(), QStringLiteral("Other Printer"));
}

void tst_PrintJob::zoomBar()
{
    start();
    // Every opening starts at 100, also after a job at 50.
    clickPrintNowAt(50);
    form->PrintButton_Click();
    int opened = -1;
    whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
        QScrollBar *bar = preview->ZoomFactorBar();
        opened = bar->value();
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar->value(), 110);
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(bar->value(), 85);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar->value(), 200);
        preview->findChild<QPushButton *>(QStringLiteral("PrintButton"))->click();
    });
    form->PrintButton_Click();
    QCOMPARE(opened, 100);
    QCOMPARE(form->PrintZoom, 2.0f);
    whenShown<PrintPreviewForm>([](PrintPreviewForm *preview) {
        QScrollBar *bar = preview->ZoomFactorBar();
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(bar->value(), 25);
        preview->findChild<QPushButton *>(QStringLiteral("PrintButton"))->click();
    });
    form->PrintButton_Click();
    QCOMPARE(form->PrintZoom, 0.25f);
    QCOMPARE(fakes->printer.documents, 3);
}

void tst_PrintJob::previewDrawing()
{
    start();
    QImage at100, at50, whileDragging, afterRelease;
    whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
        PictureBox *box = preview->PreviewPicture1();
        at100 = box->surface().image();
        QScrollBar *bar = preview->ZoomFactorBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(50);
        whileDragging = box->surface().image();
        bar->setSliderDown(false);
        afterRelease = box->surface().image();
        at50 = afterRelease;
        preview->reject();
    });
    form->PrintButton_Click();
    QCOMPARE(whileDragging, at100);
    QVERIFY(afterRelease != at100);
    // At 100 the shot fills the whole box; at 50 the middle half of each direction.
    const QSize box = at100.size();
    QVERIFY(!isWhite(at100, QRect(0, 0, 2, 2)));
    QVERIFY(!isWhite(at100, QRect(box.width() - 2, box.height() - 2, 2, 2)));
    const int qx = box.width() / 4;
    const int qy = box.height() / 4;
    QVERIFY(isWhite(at50, QRect(0, 0, qx - 1, box.height())));
    QVERIFY(isWhite(at50, QRect(box.width() - qx + 1, 0, qx - 1, box.height())));
    QVERIFY(isWhite(at50, QRect(0, 0, box.width(), qy - 1)));
    QVERIFY(isWhite(at50, QRect(0, box.height() - qy + 1, box.width(), qy - 1)));
    QVERIFY(!isWhite(at50, QRect(qx + 1, qy + 1, 1, 1)));
    QVERIFY(!isWhite(at50, QRect(box.width() - qx - 2, box.height() - qy - 2, 1, 1)));
}

QTEST_MAIN(tst_PrintJob)
#include "tst_printjob.moc"
