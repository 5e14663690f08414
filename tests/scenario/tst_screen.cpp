// The X11 screen reader on a real X server with the shared-memory extension and on one without:
// the shot is Qt's own grab, pixel for pixel, in shared memory exactly when the server offers it.
// The PDF sheet that goes to the spooler, as poppler reads it; and a printer chosen in Printer
// Setup, on the test spooler.
#include "Fakes.h"
#include "platform/PdfSheet.h"
#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

#include <QComboBox>
#include <QFile>
#include <QPainter>
#include <QPrintDialog>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
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
            const ScreenGrab shot = grabber->grabPrimaryScreen();
            QVERIFY2(shot && *shot == screen, qPrintable(shot.reason()));
            QCOMPARE(inSharedMemory(shot->constBits()),
                     qEnvironmentVariableIntValue("EXPECT_SHM") == 1);
        }
    }

    // A sheet for the spooler, read back by poppler: flat bands are deflated, noisy ones stored,
    // and every pixel comes out as it went in, at the place and size asked for, cut where the
    // printable area ends.
    void aSheetHoldsThePictureExactly()
    {
        QImage picture = pattern(QSize(1500, 900), 3);
        picture.fill(Qt::white);
        QPainter(&picture).drawImage(QPoint(0, 300), pattern(QSize(1500, 300), 3));
        QTemporaryDir dir;
        QFile pdf(dir.filePath(QStringLiteral("sheet.pdf")));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        const PdfSheet sheet{QSizeF(842, 595), QRectF(0, 0, 842, 300), QRectF(71, 72, 700, 420)};
        QVERIFY(writePdfSheet(sheet, picture, [&pdf](QByteArrayView b) {
            return pdf.write(b.data(), b.size()) >= 0;
        }));
        pdf.close();
        QVERIFY(pdf.size() < 1500 * 900 * 3 * 2 / 3); // two thirds flat
        QProcess list;
        list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf.fileName()});
        QVERIFY(list.waitForFinished());
        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi
        const QList<QByteArray> columns =
            list.readAllStandardOutput().split('\n').value(2).simplified().split(' ');
        QCOMPARE(columns.mid(3, 3) + columns.mid(9, 1) + columns.mid(12, 2),
                 QList<QByteArray>({"1500", "900", "rgb", "no", "154", "154"}));
        const QString out = dir.filePath(QStringLiteral("out"));
        QCOMPARE(QProcess::execute("pdfimages", {"-png", pdf.fileName(), out}), 0);
        QCOMPARE(QImage(out + "-000.png").convertToFormat(QImage::Format_RGB32), picture);
        // Where it lies: at 72 dpi one point is one pixel, the page kept landscape.
        QCOMPARE(
            QProcess::execute("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf.fileName(), out}),
            0);
        const QImage page(out + ".png");
        QRect inked;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 240)
                    inked |= QRect(x, y, 1, 1);
        QCOMPARE(page.size(), QSize(842, 595));
        // The noisy third of the picture down to the cut; the renderer may touch one more pixel
        // beyond the picture's edge.
        QCOMPARE(inked.topLeft(), QPoint(71, 72 + 140));
        QVERIFY(qAbs(inked.width() - 700) <= 1);
        QCOMPARE(inked.bottom(), 299);
    }

    // The printer and paper chosen in Printer Setup reach the job: its printer, and its sheet.
    void theSetupChoiceReachesTheJob()
    {
        QtPrinter printer;
        QCOMPARE(printer.forJob()->deviceName(), QStringLiteral("GlimmerboxPDF"));
        whenShown<QPrintDialog>([](QPrintDialog *dialog) {
            auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
            printers->setCurrentIndex(printers->findText(QStringLiteral("GlimmerboxLetter")));
            dialog->accept();
        });
        QVERIFY(printer.showSetupDialog());
        const std::unique_ptr<IPrinter> job = printer.forJob();
        QCOMPARE(job->deviceName(), QStringLiteral("GlimmerboxLetter"));
        QCOMPARE(job->printableSize(), QSizeF(1056, 816));
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
