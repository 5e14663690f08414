// JPEG files as a real decoder reads them: size, row order, pixels within JPEG's tolerance,
// quality 90; the library's own error codes; and the file-name functions.

#include "JpegCheck.h"
#include "imaging/IntelJPGlibrary.h"
#include "imaging/RuntimeError.h"
#include "imaging/cDIBsection.h"
#include "platform/JpegLibrary.h"
#include "platform/qt/QtServices.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Smooth areas and a few sharp edges: what a screen holds, and what JPEG keeps well.
QImage screenLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(30, 90, 200));
    sky.setColorAt(1, QColor(220, 230, 120));
    p.fillRect(image.rect(), sky);
    p.fillRect(QRect(0, 0, size.width(), std::max(4, size.height() / 8)), QColor(200, 30, 30));
    p.fillRect(QRect(size.width() / 3, size.height() / 2, size.width() / 3, size.height() / 4),
               Qt::white);
    return image;
}

// Dark at the top, bright at the bottom, gently: the row order shows, and nothing is hard for
// the encoder even on a picture of a few pixels.
QImage smooth(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int v = 40 + 180 * y / std::max(1, size.height() - 1);
            image.setPixel(x, y, qRgb(v, v + (x % 2 ? 4 : 0), std::min(255, v + 10)));
        }
    return image;
}

int maxDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// A library that fails where the test says, the way a full disk or a broken encoder would.
class FailingLibrary final : public ijl::IJpegLibrary
{
public:
    int ijlInit(ijl::JPEG_CORE_PROPERTIES *p) override
    {
        return failInit ? ijl::IJL_NOT_INITIALIZED : real.ijlInit(p);
    }
    int ijlWrite(ijl::JPEG_CORE_PROPERTIES *p, int) override
    {
        // Half a file, then the disk is full.
        QFile out(QString::fromLocal8Bit(p->JPGFile));
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray(1000, '\xff'));
        return ijl::IJL_FILE_WRITE_ERROR;
    }
    int ijlFree(ijl::JPEG_CORE_PROPERTIES *p) override
    {
        ++frees;
        return real.ijlFree(p);
    }
    ijl::TurboJpegLibrary real;
    bool failInit = false;
    int frees = 0;
};

} // namespace

class tst_Jpeg : public QObject
{
    Q_OBJECT

private slots:
    void writesAStandardJpegAtQuality90_data();
    void writesAStandardJpegAtQuality90();
    void libraryCodes();
    void errorsCarryNumberSourceAndCode();
    void fileNameFunctions_data();
    void fileNameFunctions();

private:
    QTemporaryDir dir;
};

void tst_Jpeg::writesAStandardJpegAtQuality90_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("no padding") << QSize(4, 6);
    QTest::newRow("1 padding byte") << QSize(5, 6);
    QTest::newRow("2 padding bytes") << QSize(6, 7);
    QTest::newRow("3 padding bytes") << QSize(7, 9);
    QTest::newRow("screen") << QSize(1021, 767);
}

void tst_Jpeg::writesAStandardJpegAtQuality90()
{
    QFETCH(QSize, size);
    const bool small = size.width() < 16;
    const QImage picture = small ? smooth(size) : screenLike(size);
    cDIBsection probe;
    QVERIFY(probe.Create(size.width(), size.height()));
    QCOMPARE(probe.BytesPerScanLine() - 3 * size.width(), (4 - (3 * size.width()) % 4) % 4);

    ijl::TurboJpegLibrary library;
    QtFiles files;
    IntelJPGlibrary binding(library, files, QStringLiteral("glimmerbox"));
    const QString file =
        dir.filePath(QStringLiteral("shot-%1x%2.jpg").arg(size.width()).arg(size.height()));
    QVERIFY(binding.SavePictureToJpg(picture, file));

    const JpegCheck::Decoded decoded = JpegCheck::decode(file);
    QVERIFY2(!decoded.image.isNull(), "not a JPEG the decoder accepts");
    QCOMPARE(decoded.image.size(), size);
    QCOMPARE(decoded.quantTables, JpegCheck::referenceTables(90));
    QVERIFY(decoded.quantTables != JpegCheck::referenceTables(89));
    // The top row first: dark (or the red band) at the top, not at the bottom.
    const QRgb top = decoded.image.pixel(size.width() / 2, 0);
    const QRgb bottom = decoded.image.pixel(size.width() / 2, size.height() - 1);
    if (small)
        QVERIFY(qGray(top) + 100 < qGray(bottom));
    else
        QVERIFY(qRed(top) > 150 && qGreen(top) < 80);
    const double mean = meanDifference(decoded.image, picture);
    const int worst = maxDifference(decoded.image, picture);
    // 4:2:0 halves the colour resolution: a sharp coloured edge may be off by more than the
    // rest, but never wildly.
    QVERIFY2(mean < 3 && worst <= (small ? 24 : 96),
             qPrintable(QStringLiteral("mean %1, worst %2").arg(mean).arg(worst)));
}

void tst_Jpeg::libraryCodes()
{
    ijl::TurboJpegLibrary library;
    ijl::JPEG_CORE_PROPERTIES p;
    QCOMPARE(library.ijlWrite(&p, ijl::IJL_JFILE_WRITEWHOLEIMAGE), int(ijl::IJL_NOT_INITIALIZED));
    QCOMPARE(library.ijlInit(&p), int(ijl::IJL_OK));
    QCOMPARE(p.jquality, 75);
    QCOMPARE(p.DIBChannels, 3);
    QCOMPARE(library.ijlWrite(&p, ijl::IJL_JFILE_WRITEWHOLEIMAGE), int(ijl::IJL_INVALID_POINTER));
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("codes.jpg")));
    const std::uint8_t pixels[16] = {};
    p.DIBBytes = pixels;
    p.JPGFile = name.constData();
    p.DIBWidth = p.JPGWidth = 1;
    p.DIBHeight = -1;
    p.JPGHeight = 1;
    QCOMPARE(library.ijlWrite(&p, 2), int(ijl::IJL_UNSUPPORTED_IOTYPE));
    p.jquality = 101;
    QCOMPARE(library.ijlWrite(&p, ijl::IJL_JFILE_WRITEWHOLEIMAGE), int(ijl::IJL_BAD_PARAMETER));
    p.jquality = 90;
    p.DIBPadBytes = 1;
    QCOMPARE(library.ijlWrite(&p, ijl::IJL_JFILE_WRITEWHOLEIMAGE), int(ijl::IJL_OK));
    const QByteArray missing = QFile::encodeName(dir.filePath(QStringLiteral("no/such/dir.jpg")));
    p.JPGFile = missing.constData();
    QCOMPARE(library.ijlWrite(&p, ijl::IJL_JFILE_WRITEWHOLEIMAGE), int(ijl::IJL_FILE_OPEN_ERROR));
    QCOMPARE(library.ijlFree(&p), int(ijl::IJL_OK));
}

void tst_Jpeg::errorsCarryNumberSourceAndCode()
{
    FailingLibrary library;
    QtFiles files;
    IntelJPGlibrary binding(library, files, QStringLiteral("glimmerbox"));
    const QString file = dir.filePath(QStringLiteral("failing.jpg"));
    try {
        binding.SavePictureToJpg(screenLike(QSize(16, 16)), file);
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 26001);
        QCOMPARE(error.source(), QStringLiteral("glimmerbox.mIntelJPEGLibrary"));
        QCOMPARE(error.description(), QStringLiteral("Failed to save to JPG -9"));
    }
    QCOMPARE(library.frees, 1);
    QVERIFY(!QFile::exists(file));
    // Nothing half-written is left beside it.
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden),
             QStringList());

    library.failInit = true;
    try {
        binding.SavePictureToJpg(screenLike(QSize(16, 16)), file);
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 26001);
        QCOMPARE(error.description(), QStringLiteral("Failed to initialise the IJL library: -3"));
    }
}

void tst_Jpeg::fileNameFunctions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("result");
    QTest::newRow("strip jpg") << "ext"
                               << "C:\\Shots\\Screen.jpg"
                               << "C:\\Shots\\Screen";
    QTest::newRow("strip in folder") << "ext"
                                     << "C:\\My.Pictures\\Screen"
                                     << "C:\\My";
    QTest::newRow("strip none") << "ext"
                                << "Screen"
                                << "Screen";
    QTest::newRow("strip slash path") << "ext"
                                      << "/home/u/Shots/Screen.jpg"
                                      << "/home/u/Shots/Screen";
    QTest::newRow("backslash one") << "slash"
                                   << "C:\\Shots\\"
                                   << "C:\\Shots";
    QTest::newRow("backslash two") << "slash"
                                   << "C:\\Shots\\\\"
                                   << "C:\\Shots\\";
    QTest::newRow("backslash empty") << "slash"
                                     << ""
                                     << "";
    QTest::newRow("slash") << "slash"
                           << "/home/u/"
                           << "/home/u";
    QTest::newRow("folder file") << "folder"
                                 << "C:\\Shots\\Screen.jpg"
                                 << "C:\\Shots\\";
    QTest::newRow("folder of folder") << "folder"
                                      << "C:\\Shots\\"
                                      << "C:\\";
    QTest::newRow("folder none") << "folder"
                                 << "Screen.jpg"
                                 << "";
    QTest::newRow("folder empty") << "folder"
                                  << ""
                                  << "";
    QTest::newRow("folder linux") << "folder"
                                  << "/home/u/Shots/Screen.jpg"
                                  << "/home/u/Shots/";
}

void tst_Jpeg::fileNameFunctions()
{
    QFETCH(QString, function);
    QFETCH(QString, path);
    QFETCH(QString, result);
    const QString before = path;
    if (function == QLatin1String("ext"))
        QCOMPARE(IntelJPGlibrary::StripExtension(path), result);
    else if (function == QLatin1String("slash"))
        QCOMPARE(IntelJPGlibrary::StripTrailingBackslash(path), result);
    else
        QCOMPARE(IntelJPGlibrary::FolderOfPath(path), result);
    QCOMPARE(path, before);
}

QTEST_MAIN(tst_Jpeg)
#include "tst_jpeg.moc"
