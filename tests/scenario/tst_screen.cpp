// The X11 screen reader on a real X server with the shared-memory extension and on one without:
// the shot is Qt's own grab, pixel for pixel, in shared memory exactly when the server offers it
// (memory marked to go when its last user lets go, even a killed one).
// And a printer chosen in Printer Setup, on the test spooler.
#include "Fakes.h"
#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class tst_Screen : public QObject
{
    Q_OBJECT
private slots:
    void theShotIsWhatQtReads()
    {
        auto grabber = chooseScreenGrabber();
        const uchar *last = nullptr;
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
            last = shot->constBits();
            QCOMPARE(inSharedMemory(shot->constBits()),
                     qEnvironmentVariableIntValue("EXPECT_SHM") == 1);
        }
        grabber.reset(); // the memory it kept for the next shot goes with it
        QVERIFY(!inSharedMemory(last));
    }

    // The printer and paper chosen in Printer Setup reach the job: its printer, and its sheet.
    // A cancelled setup changes nothing, whatever was picked in it: until the user chooses, the
    // job follows the system's default printer.
    void theSetupChoiceReachesTheJob_data()
    {
        QTest::addColumn<QStringList>("picks");     // in each setup in turn; "-": then cancelled
        QTest::addColumn<QString>("systemDefault"); // from then on
        QTest::addColumn<QString>("printer");
        const QString pdf("GlimmerboxPDF"), letter("GlimmerboxLetter");
        QTest::newRow("chosen") << QStringList{letter} << pdf << letter;
        QTest::newRow("cancelled") << QStringList{"-" + letter} << pdf << pdf;
        QTest::newRow("cancelled, default changed")
            << QStringList{"-" + letter} << letter << letter;
        QTest::newRow("chosen, change cancelled")
            << QStringList{letter, "-" + pdf} << pdf << letter;
    }

    void theSetupChoiceReachesTheJob()
    {
        QFETCH(QStringList, picks);
        QtPrinter printer;
        for (const QString &pick : picks) {
            QStringList seen; // the title, the button that closes it, what it offers to print on
            whenShown<QPrintDialog>([&](QPrintDialog *dialog) {
                const auto *buttons = dialog->findChild<QDialogButtonBox *>();
                auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
                seen << dialog->windowTitle() << buttons->button(QDialogButtonBox::Ok)->text()
                     << (printers->findText("Print to File (PDF)") < 0 ? "printers" : "a file");
                printers->setCurrentIndex(printers->findText(QString(pick).remove('-')));
                pick.startsWith('-') ? dialog->reject() : dialog->accept();
            });
            QCOMPARE(printer.showSetupDialog(), !pick.startsWith('-'));
            QCOMPARE(seen, QStringList({"Printer Setup", "OK", "printers"}));
        }
        const auto restore = qScopeGuard([] { qunsetenv("PRINTER"); });
        QFETCH(QString, systemDefault);
        qputenv("PRINTER", systemDefault.toUtf8());
        const std::unique_ptr<IPrinter> job = printer.forJob();
        QTEST(job->deviceName(), "printer");
        const bool letter = job->deviceName() == QStringLiteral("GlimmerboxLetter");
        QCOMPARE(job->printableSize(), letter ? QSizeF(1056, 816) : QSizeF(1122.24, 793.92));
    }

private:
    // In a shared segment, and one marked to go when its last user lets go of it.
    static bool inSharedMemory(const uchar *bits)
    {
        QFile maps(QStringLiteral("/proc/self/maps")), shm(QStringLiteral("/proc/sysvipc/shm"));
        maps.open(QIODevice::ReadOnly);
        shm.open(QIODevice::ReadOnly);
        unsigned long long from, to, id, segment; // a segment's mapping names its id
        unsigned mode;
        for (const QByteArray &line : maps.readAll().split('\n'))
            if (std::sscanf(line, "%llx-%llx %*s %*s %*s %llu", &from, &to, &id) == 3 &&
                line.contains("/SYSV") && from <= quintptr(bits) && quintptr(bits) < to)
                for (const QByteArray &row : shm.readAll().split('\n'))
                    if (std::sscanf(row, "%*d %llu %o", &segment, &mode) == 2 && segment == id)
                        return mode & 01000; // SHM_DEST
        return false;
    }
};

QTEST_MAIN(tst_Screen)
#include "tst_screen.moc"
