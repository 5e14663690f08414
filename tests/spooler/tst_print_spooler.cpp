// The real print job on the real platform printer, through the test print spooler (cupsd with a
// cups-pdf queue): what lands on the page, where, and at what size.

#include "DialogDriver.h"
#include "Fakes.h"
#include "Pdf.h"
#include "StartedForm.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"
#include "platform/qt/QtServices.h"
#include "printing/PrintPreviewForm.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using TestPattern::isWhite;

class tst_PrintSpooler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wholeShotAtScreenScale();
    void halfSizeInTheMiddle();
    void doubleSizeShowsTheCentralHalf();
    void rightHalfCropIsCentred();
    void cancelAndCloseBoxPrintNothing();
    void previewNamesTheDefaultPrinter();

private:
    QString printWithZoom(int percent);

    std::unique_ptr<QtPlatform> real;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
    FakeConfirmations *confirmations = nullptr;
    QImage pattern;
};

void tst_PrintSpooler::initTestCase()
{
    QVERIFY2(!Pdf::outputFolder().isEmpty(),
             "GLIMMERBOX_TEST_PDF_DIR is not set: run the tests through scripts/test");
    QVERIFY2(qEnvironmentVariableIsSet("CUPS_SERVER"), "CUPS_SERVER is not set");
    pattern = TestPattern::make(QSize(1024, 768), 5);
}

void tst_PrintSpooler::init()
{
    real = std::make_unique<QtPlatform>(QStringList{QStringLiteral("glimmerbox")});
    fakes = std::make_unique<FakeServices>();
    fakes->screen.screen = pattern;
    Services services = fakes->services();
    services.printer = real->services().printer;
    form = startedForm(services, confirmations);
}

void tst_PrintSpooler::cleanup()
{
    form.reset();
    fakes.reset();
    real.reset();
}

QString tst_PrintSpooler::printWithZoom(int percent)
{
    const QStringList before = Pdf::files();
    const int jobs = Pdf::jobCount();
    bool spoolerUntouchedAtPopup = false;
    confirmations->whileShown = [&](const QString &) {
        spoolerUntouchedAtPopup = Pdf::jobCount() == jobs && Pdf::files() == before;
    };
    whenShown<PrintPreviewForm>([percent](PrintPreviewForm *preview) {
        preview->ZoomFactorBar()->setValue(percent);
        preview->findChild<QPushButton *>(QStringLiteral("PrintButton"))->click();
    });
    form->PrintButton_Click();
    if (!spoolerUntouchedAtPopup || confirmations->shown != QStringList{"Printing Now"})
        return QStringLiteral("pop-up not shown first");
    // The orientation is portrait again after every job.
    if (real->services().printer->orientation() != IPrinter::Portrait)
        return QStringLiteral("orientation not reset");
    if (form->cursor().shape() != Qt::ArrowCursor)
        return QStringLiteral("pointer not reset");
    return Pdf::waitForNew(before);
}

void tst_PrintSpooler::wholeShotAtScreenScale()
{
    const QString pdf = printWithZoom(100);
    QVERIFY2(pdf.endsWith(QLatin1String(".pdf")), qPrintable(pdf));
    const Pdf::Info info = Pdf::info(pdf);
    QCOMPARE(info.pages, 1);
    // Embedded at its own resolution, pixel for pixel: no lossy recompression.
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    QCOMPARE(images.first().size(), QSize(1024, 768));
    QCOMPARE(TestPattern::differingPixels(images.first(), pattern), 0);
    // On the page: 1/96 inch per pixel from the corner of the printable area (here the page's
    // corner: the queue's imageable area is the whole sheet). The landscape content is turned.
    const QImage rendered = Pdf::render(pdf, 96);
    QVERIFY(rendered.height() > rendered.width());
    const QImage page = Pdf::asLandscape(rendered, pattern);
    const double inPlace = TestPattern::meanDifference(page.copy(0, 0, 1024, 768), pattern);
    QVERIFY2(inPlace < 4, qPrintable(QString::number(inPlace)));
    const double shiftedRight = TestPattern::meanDifference(page.copy(1, 0, 1024, 768), pattern);
    QVERIFY2(shiftedRight > inPlace, "the picture is not at the corner");
    QVERIFY(isWhite(page, QRect(1026, 0, page.width() - 1026, page.height())));
    QVERIFY(isWhite(page, QRect(0, 770, 1024, page.height() - 770)));
}

void tst_PrintSpooler::halfSizeInTheMiddle()
{
    const QString pdf = printWithZoom(50);
    QVERIFY2(pdf.endsWith(QLatin1String(".pdf")), qPrintable(pdf));
    QCOMPARE(Pdf::info(pdf).pages, 1);
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    const QImage canvas = images.first();
    QCOMPARE(canvas.size(), QSize(1024, 768));
    // White bands of a quarter of the width on each side, a quarter of the height above and below.
    QVERIFY(isWhite(canvas, QRect(0, 0, 256, 768)));
    QVERIFY(isWhite(canvas, QRect(768, 0, 256, 768)));
    QVERIFY(isWhite(canvas, QRect(256, 0, 512, 192)));
    QVERIFY(isWhite(canvas, QRect(256, 576, 512, 192)));
    const double inside = TestPattern::meanDifference(
        canvas.copy(256, 192, 512, 384),
        pattern.scaled(512, 384, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    QVERIFY2(inside < 6, qPrintable(QString::number(inside)));
}

void tst_PrintSpooler::doubleSizeShowsTheCentralHalf()
{
    const QString pdf = printWithZoom(200);
    QVERIFY2(pdf.endsWith(QLatin1String(".pdf")), qPrintable(pdf));
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    const QImage expected = pattern.copy(256, 192, 512, 384)
                                .scaled(1024, 768, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const double difference = TestPattern::meanDifference(images.first(), expected);
    QVERIFY2(difference < 2, qPrintable(QString::number(difference)));
}

void tst_PrintSpooler::rightHalfCropIsCentred()
{
    const float W = form->CurrentImage1().surface().scaleWidth();
    const float H = form->CurrentImage1().surface().scaleHeight();
    form->x1 = W / 2;
    form->x2 = W;
    form->y1 = 0;
    form->y2 = H;
    const QString pdf = printWithZoom(100);
    QVERIFY2(pdf.endsWith(QLatin1String(".pdf")), qPrintable(pdf));
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    QImage expected(1024, 768, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter(&expected).drawImage(QPoint(256, 0), pattern.copy(512, 0, 512, 768));
    QCOMPARE(TestPattern::differingPixels(images.first(), expected), 0);
}

void tst_PrintSpooler::cancelAndCloseBoxPrintNothing()
{
    const int jobs = Pdf::jobCount();
    const QStringList before = Pdf::files();
    whenShown<PrintPreviewForm>([](PrintPreviewForm *preview) {
        preview->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
    });
    form->PrintButton_Click();
    QCOMPARE(form->PrintZoom, 0.0f);
    whenShown<PrintPreviewForm>([](PrintPreviewForm *preview) { preview->close(); });
    form->PrintButton_Click();
    QCOMPARE(form->PrintZoom, 0.0f);
    QVERIFY(confirmations->shown.isEmpty());
    QCOMPARE(Pdf::jobCount(), jobs);
    QCOMPARE(Pdf::files(), before);
}

void tst_PrintSpooler::previewNamesTheDefaultPrinter()
{
    QString name;
    whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
        name = preview->PrinterNameLabel()->text();
        preview->reject();
    });
    form->PrintButton_Click();
    QCOMPARE(name, QStringLiteral("GlimmerboxPDF"));
}

QTEST_MAIN(tst_PrintSpooler)
#include "tst_print_spooler.moc"
