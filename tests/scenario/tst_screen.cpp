// The X11 screen reader on a real X server with the shared-memory extension and on one without:
// the shot is Qt's own grab, pixel for pixel, in shared memory exactly when the server offers it.
// And a printer chosen in Printer Setup, on the test spooler.
#include "Fakes.h"
#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

#include <QComboBox>
#include <QPrintDialog>
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
            QImage screen = pattern(cover.size(), seed);
            if (QGuiApplication::primaryScreen()->depth() == 16) // five or six bits a colour
                screen = screen.convertToFormat(QImage::Format_RGB16)
                             .convertToFormat(QImage::Format_RGB32);
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
