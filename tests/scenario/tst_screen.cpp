// The X11 screen reader on a real X server, with the shared-memory extension (the test desktop)
// and without it (a server of the test's own): the shot is what Qt's own grab returns, pixel for
// pixel, and it lies in shared memory exactly when the server offers it. And a screen far larger
// than the sheet, printed through the test spooler: only what lands on the sheet is sent.
#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"
#include "printing/PrintJob.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class tst_Screen : public QObject
{
    Q_OBJECT
private slots:
    void theShotIsWhatQtReads()
    {
        const auto grabber = chooseScreenGrabber();
        QWidget cover(nullptr, Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
        cover.setGeometry(QGuiApplication::primaryScreen()->geometry());
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        // Twice, the second time into the memory the first shot let go of.
        for (int seed : {0, 1}) {
            const QImage screen = pattern(cover.size(), seed);
            QPalette palette;
            palette.setBrush(QPalette::Window, QPixmap::fromImage(screen));
            cover.setPalette(palette);
            QTRY_COMPARE(QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
                             QImage::Format_RGB32),
                         screen);
            const QImage shot = grabber->grabPrimaryScreen().image;
            QCOMPARE(shot, screen);
            QCOMPARE(inSharedMemory(shot.constBits()),
                     qEnvironmentVariableIntValue("EXPECT_SHM") == 1);
        }
    }

    void aPageCarriesOnlyWhatLandsOnTheSheet()
    {
        if (!qEnvironmentVariableIsSet("GLIMMERBOX_TEST_PDF_DIR"))
            QSKIP("needs the test spooler");
        const QImage screen = pattern(QSize(3840, 2160), 0);
        const QDir pdfs(qEnvironmentVariable("GLIMMERBOX_TEST_PDF_DIR"));
        const QStringList before = pdfs.entryList({"*.pdf"}, QDir::Files);
        QtPrinter printer;
        QVERIFY(PrintJob::printPage(printer, screen));
        // The printable area of a landscape sheet, in screen pixels, a part-pixel counting whole.
        QPrinter sheet(QPrinter::HighResolution);
        sheet.setPageOrientation(QPageLayout::Landscape);
        sheet.setPageMargins(sheet.pageLayout().minimumMargins(), sheet.pageLayout().units());
        const double dotsPerPixel = sheet.resolution() / 96.0;
        const QSize onSheet(int(std::ceil(sheet.width() / dotsPerPixel)),
                            int(std::ceil(sheet.height() / dotsPerPixel)));
        QString pdf;
        QTRY_VERIFY_WITH_TIMEOUT(
            !before.contains(pdf = pdfs.entryList({"*.pdf"}, QDir::Files, QDir::Time).value(0)) &&
                !pdf.isEmpty(),
            20000);
        QProcess::execute("sh", {"-c", "while [ -n \"$(lpstat -o)\" ]; do sleep 0.1; done"});
        const QString out = pdfs.filePath(QStringLiteral("printed"));
        QCOMPARE(QProcess::execute("pdfimages", {"-png", pdfs.filePath(pdf), out}), 0);
        const QImage printed = QImage(out + "-000.png").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(printed.size(), onSheet);
        QCOMPARE(printed, screen.copy(QRect(QPoint(0, 0), onSheet)));
    }

private:
    static QImage pattern(QSize size, int seed)
    {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb(x * 7 ^ y ^ seed, y * 13 ^ x, (x * y) >> 3));
        return image;
    }
    static bool inSharedMemory(const uchar *bits)
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.open(QIODevice::ReadOnly))
            return false;
        const auto at = quintptr(bits);
        for (const QByteArray &line : maps.readAll().split('\n')) {
            const QList<QByteArray> range = line.split(' ').value(0).split('-');
            if (line.contains("/SYSV") && range.size() == 2 &&
                range[0].toULongLong(nullptr, 16) <= at && at < range[1].toULongLong(nullptr, 16))
                return true;
        }
        return false;
    }
};

QTEST_MAIN(tst_Screen)
#include "tst_screen.moc"
