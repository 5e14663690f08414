// The 24-bit bottom-up bitmap: row sizes, header, byte order and row order, transfers, clearing
// up, and sizes too large for 32-bit arithmetic.

#include "TestPattern.h"
#include "imaging/RuntimeError.h"
#include "imaging/cDIBsection.h"

#include <QtTest>

class tst_DIBsection : public QObject
{
    Q_OBJECT

private slots:
    void bytesPerScanLine_data();
    void bytesPerScanLine();
    void header();
    void pictureTopRowIsTheLastRowInMemory();
    void transfers();
    void clearUp();
    void tooLargeRaisesOverflow_data();
    void tooLargeRaisesOverflow();
    void impossibleSizesFail();
};

void tst_DIBsection::bytesPerScanLine_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bytes");
    QTest::newRow("1") << 1 << 4;
    QTest::newRow("2") << 2 << 8;
    QTest::newRow("3") << 3 << 12;
    QTest::newRow("4") << 4 << 12;
    QTest::newRow("5") << 5 << 16;
    QTest::newRow("1024") << 1024 << 3072;
}

void tst_DIBsection::bytesPerScanLine()
{
    QFETCH(int, width);
    QFETCH(int, bytes);
    cDIBsection dib;
    QVERIFY(dib.Create(width, 3));
    QCOMPARE(dib.BytesPerScanLine(), bytes);
}

void tst_DIBsection::header()
{
    cDIBsection dib;
    QVERIFY(dib.Create(10, 5));
    const auto &h = dib.header();
    QCOMPARE(h.biSize, 40);
    QCOMPARE(h.biWidth, 10);
    QCOMPARE(h.biHeight, 5);
    QCOMPARE(h.biPlanes, 1);
    QCOMPARE(h.biBitCount, 24);
    QCOMPARE(h.biCompression, 0);
    QCOMPARE(h.biSizeImage, 160);
    QCOMPARE(h.biXPelsPerMeter + h.biYPelsPerMeter + h.biClrUsed + h.biClrImportant, 0);
    QVERIFY(dib.DIBSectionBitsPtr());
    QVERIFY(dib.handle() != 0 && dib.memoryDC());
}

void tst_DIBsection::pictureTopRowIsTheLastRowInMemory()
{
    const QImage picture = TestPattern::make(QSize(1024, 768), 2);
    cDIBsection dib;
    dib.CreateFromPicture(picture);
    QCOMPARE(dib.Width(), 1024);
    QCOMPARE(dib.Height(), 768);
    QCOMPARE(dib.BytesPerScanLine(), 3072);
    const std::uint8_t *bits = dib.DIBSectionBitsPtr();
    for (int y : {0, 1, 400, 767}) {
        const std::uint8_t *row = bits + std::ptrdiff_t(767 - y) * 3072;
        for (int x : {0, 1, 511, 1023}) {
            const QRgb p = picture.pixel(x, y);
            QCOMPARE(row[3 * x + 0], std::uint8_t(qBlue(p)));
            QCOMPARE(row[3 * x + 1], std::uint8_t(qGreen(p)));
            QCOMPARE(row[3 * x + 2], std::uint8_t(qRed(p)));
        }
    }
}

void tst_DIBsection::transfers()
{
    const QImage picture = TestPattern::make(QSize(5, 4), 3);
    const DeviceContext source{picture};
    cDIBsection dib;
    QVERIFY(dib.Create(5, 4));
    dib.LoadPictureBlt(&source, 0, 0, 0, -1);
    const QByteArray untouched(reinterpret_cast<const char *>(dib.DIBSectionBitsPtr()),
                               dib.header().biSizeImage);
    QCOMPARE(untouched, QByteArray(dib.header().biSizeImage, 0));
    // -1 is the whole width; the transfer is one to one from the source's offset.
    dib.LoadPictureBlt(&source, 1, 2, -1, 1);
    const std::uint8_t *top = dib.DIBSectionBitsPtr() + 3 * dib.BytesPerScanLine();
    QCOMPARE(top[0], std::uint8_t(qBlue(picture.pixel(1, 2))));
    QCOMPARE(top[3 * 3 + 2], std::uint8_t(qRed(picture.pixel(4, 2))));
    QCOMPARE(top[3 * 4], std::uint8_t(0)); // beyond the source: nothing read
    // Padding bytes stay as they were.
    QCOMPARE(top[15], std::uint8_t(0));
}

void tst_DIBsection::clearUp()
{
    cDIBsection dib;
    QVERIFY(dib.Create(7, 3));
    dib.ClearUp();
    QCOMPARE(dib.DIBSectionBitsPtr(), nullptr);
    QCOMPARE(dib.handle(), 0);
    QCOMPARE(dib.memoryDC(), nullptr);
    QCOMPARE(dib.Width(), 7);
    QCOMPARE(dib.Height(), 3);
    dib.ClearUp();
    QCOMPARE(dib.DIBSectionBitsPtr(), nullptr);
    QCOMPARE(dib.Width(), 7);
    // A second Create frees the first image and makes a new one.
    QVERIFY(dib.Create(2, 2));
    QVERIFY(dib.Create(3, 3));
    QCOMPARE(dib.Width(), 3);
}

void tst_DIBsection::tooLargeRaisesOverflow_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("row bytes") << 800000000 << 1;
    QTest::newRow("image bytes") << 30000 << 100000;
}

void tst_DIBsection::tooLargeRaisesOverflow()
{
    QFETCH(int, width);
    QFETCH(int, height);
    cDIBsection dib;
    try {
        dib.Create(width, height);
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 6);
        QCOMPARE(error.description(), QStringLiteral("Overflow"));
    }
    QCOMPARE(dib.DIBSectionBitsPtr(), nullptr);
}

void tst_DIBsection::impossibleSizesFail()
{
    cDIBsection dib;
    QVERIFY(!dib.Create(0, 10));
    QVERIFY(!dib.Create(10, -1));
    QCOMPARE(dib.DIBSectionBitsPtr(), nullptr);
    dib.CreateFromPicture(QImage());
    QCOMPARE(dib.DIBSectionBitsPtr(), nullptr);
}

QTEST_MAIN(tst_DIBsection)
#include "tst_dibsection.moc"
