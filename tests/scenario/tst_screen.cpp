// The X11 screen reader on a real X server with the shared-memory extension and on one without:
// the shot is Qt's own grab, pixel for pixel, in shared memory exactly when the server offers it.
// And a screen far larger than the sheet, through the test spooler: only what lands on it is sent.
#include "Fakes.h"
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
        QVERIFY2(qEnvironmentVariableIsSet("GLIMMERBOX_TEST_PDF_DIR"),
                 "no test spooler: run it in scripts/test");
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
        QCOMPARE(QImage(out + "-000.png").convertToFormat(QImage::Format_RGB32),
                 screen.copy(QRect(QPoint(0, 0), onSheet)));
    }

private:
    static bool inSharedMemory(const uchar *bits)
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        maps.open(QIODevice::ReadOnly);
        unsigned long long from, to;
        for (const QByteArray &line : maps.readAll().split('\n'))
            if (std::sscanf(line, "%llx-%llx", &from, &to) == 2 && line.contains("/SYSV") &&
                from <= quintptr(bits) && quintptr(bits) < to)
                return true;
        return false;
    }
};

QTEST_MAIN(tst_Screen)
#include "tst_screen.moc"
