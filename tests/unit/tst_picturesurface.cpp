// Picture boxes: auto-sizing, the empty picture, stretched drawing in twips, and the inverted
// outline that is not persistent.

#include "TestPattern.h"
#include "platform/PictureBox.h"
#include "platform/PictureSurface.h"

#include <QtTest>

class tst_PictureSurface : public QObject
{
    Q_OBJECT

private slots:
    void autoSizeTakesThePicturesSize();
    void emptyPictureKeepsTheSizeAndShowsTheBackground();
    void stretchedDrawOfASourceRectangle();
    void exactDrawAtScaleOneCopiesPixels();
    void fullSizeTransferIsAdoptedNotCopied();
    void invertedBoxTwiceLeavesNothing();
    void refreshDropsTheOutline();
    void mousePositionsAreInTwipsOfTheDrawingArea();
};

void tst_PictureSurface::autoSizeTakesThePicturesSize()
{
    PictureSurface s(15, 15);
    s.setAutoSize(true);
    s.setPicture(TestPattern::make(QSize(666, 559)));
    QCOMPARE(s.width(), 9990.0f);
    QCOMPARE(s.height(), 8385.0f);
    QCOMPARE(s.scaleWidth(), 9990.0f);
    QCOMPARE(s.image().size(), QSize(666, 559));
}

void tst_PictureSurface::emptyPictureKeepsTheSizeAndShowsTheBackground()
{
    PictureSurface s(15, 15);
    s.setAutoSize(true);
    s.setPicture(TestPattern::make(QSize(40, 30)));
    s.setBackColor(Qt::white);
    s.setPicture(QImage());
    QCOMPARE(s.image().size(), QSize(40, 30));
    QImage white(40, 30, QImage::Format_RGB32);
    white.fill(Qt::white);
    QCOMPARE(s.image(), white);
}

void tst_PictureSurface::stretchedDrawOfASourceRectangle()
{
    QImage source(4, 2, QImage::Format_RGB32);
    source.fill(Qt::black);
    source.setPixel(2, 0, qRgb(255, 0, 0));
    source.setPixel(3, 0, qRgb(0, 255, 0));
    source.setPixel(2, 1, qRgb(0, 0, 255));
    source.setPixel(3, 1, qRgb(255, 255, 0));
    PictureSurface s(15, 15);
    s.setOuterPixelSize(QSize(20, 20));
    s.setBackColor(Qt::white);
    s.cls();
    // The right half of the source (2 x 2 pixels = 30 x 30 twips) into 150 x 150 twips at 75, 75.
    s.paintPicture(source, QRectF(75, 75, 150, 150), QRectF(30, 0, 30, 30));
    const QImage out = s.image();
    QCOMPARE(out.pixel(4, 4), qRgb(255, 255, 255));
    QCOMPARE(out.pixel(5, 5), qRgb(255, 0, 0));
    QCOMPARE(out.pixel(9, 5), qRgb(255, 0, 0));
    QCOMPARE(out.pixel(10, 5), qRgb(0, 255, 0));
    QCOMPARE(out.pixel(5, 10), qRgb(0, 0, 255));
    QCOMPARE(out.pixel(14, 14), qRgb(255, 255, 0));
    QCOMPARE(out.pixel(15, 15), qRgb(255, 255, 255));
}

void tst_PictureSurface::exactDrawAtScaleOneCopiesPixels()
{
    const QImage pattern = TestPattern::make(QSize(200, 100));
    PictureSurface s(15, 15);
    s.setOuterPixelSize(QSize(200, 100));
    s.paintPicture(pattern, QRectF(0, 0, 3000, 1500));
    QCOMPARE(TestPattern::differingPixels(s.image(), pattern), 0);
}

void tst_PictureSurface::fullSizeTransferIsAdoptedNotCopied()
{
    const QImage screen = TestPattern::make(QSize(320, 200));
    PictureSurface s(15, 15);
    s.setAutoSize(true);
    s.setWidth(15.0 * 320);
    s.setHeight(15.0 * 200);
    s.bitBlt(screen, QPoint(0, 0));
    QCOMPARE(s.image().constBits(), screen.constBits());
    // A part-size transfer lands at its place over the background.
    PictureSurface part(15, 15);
    part.setOuterPixelSize(QSize(10, 10));
    part.setBackColor(Qt::white);
    part.bitBlt(screen.copy(0, 0, 2, 2), QPoint(3, 4));
    QCOMPARE(part.image().pixel(3, 4), screen.pixel(0, 0));
    QCOMPARE(part.image().pixel(4, 5), screen.pixel(1, 1));
    QCOMPARE(part.image().pixel(2, 4), qRgb(255, 255, 255));
}

void tst_PictureSurface::invertedBoxTwiceLeavesNothing()
{
    PictureBox box(15, 15);
    box.place(QRect(0, 0, 60, 50));
    box.setAutoRedraw(true);
    const QImage pattern = TestPattern::make(QSize(60, 50));
    box.paintPicture(pattern, QRectF(0, 0, 900, 750));
    box.setAutoRedraw(false);
    box.refresh();
    box.setLineWidth(2);
    box.drawInvertedBox(QPointF(150, 150), QPointF(450, 300));
    const QImage once = box.shown();
    // Edge pixels are inverted, the inside is not.
    QCOMPARE(once.pixel(10, 10) & 0xffffff, ~pattern.pixel(10, 10) & 0xffffff);
    QCOMPARE(once.pixel(11, 11) & 0xffffff, ~pattern.pixel(11, 11) & 0xffffff);
    QCOMPARE(once.pixel(20, 15), pattern.pixel(20, 15));
    QCOMPARE(once.pixel(30, 20) & 0xffffff, ~pattern.pixel(30, 20) & 0xffffff);
    QCOMPARE(once.pixel(31, 20), pattern.pixel(31, 20));
    // The persistent bitmap never saw it.
    QCOMPARE(box.surface().image(), pattern);
    box.drawInvertedBox(QPointF(450, 300), QPointF(150, 150));
    QCOMPARE(box.shown(), pattern);
}

void tst_PictureSurface::refreshDropsTheOutline()
{
    PictureBox box(15, 15);
    box.place(QRect(0, 0, 40, 40));
    box.drawInvertedBox(QPointF(30, 30), QPointF(300, 300));
    QVERIFY(box.shown() != box.surface().image());
    box.refresh();
    QCOMPARE(box.shown(), box.surface().image());
}

void tst_PictureSurface::mousePositionsAreInTwipsOfTheDrawingArea()
{
    PictureBox box(15, 15);
    box.place(QRect(0, 0, 100, 80));
    box.setBorder(2);
    QCOMPARE(box.surface().scaleWidth(), 96 * 15.0f);
    QCOMPARE(box.surface().scaleHeight(), 76 * 15.0f);
    QList<QList<float>> events;
    connect(&box, &PictureBox::mouseDown, [&](int b, int s, float x, float y) {
        events.append({float(b), float(s), x, y});
    });
    connect(&box, &PictureBox::mouseUp, [&](int b, int s, float x, float y) {
        events.append({float(-b), float(s), x, y});
    });
    QTest::mousePress(&box, Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 7));
    QTest::mouseRelease(&box, Qt::RightButton, Qt::ControlModifier, QPoint(2, 2));
    QCOMPARE(events.size(), 2);
    QCOMPARE(events[0], (QList<float>{1, 1, 150, 75}));
    QCOMPARE(events[1], (QList<float>{-2, 2, 0, 0}));
}

QTEST_MAIN(tst_PictureSurface)
#include "tst_picturesurface.moc"
