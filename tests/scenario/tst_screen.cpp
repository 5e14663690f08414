// The X11 screen reader on a real X server, with the shared-memory extension (the test desktop)
// and without it (a server of the test's own): the shot is what Qt's own grab returns, pixel for
// pixel, and it lies in shared memory exactly when the server offers it.
#include "platform/ScreenGrabber.h"

#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class tst_Screen : public QObject
{
    Q_OBJECT
private slots:
    void theShotIsWhatQtReads()
    {
        QImage pattern(QGuiApplication::primaryScreen()->size(), QImage::Format_RGB32);
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x)
                pattern.setPixel(x, y, qRgb(x * 7 ^ y, y * 13 ^ x, (x * y) >> 3));
        QWidget cover(nullptr, Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
        cover.setGeometry(QGuiApplication::primaryScreen()->geometry());
        QPalette palette;
        palette.setBrush(QPalette::Window, QPixmap::fromImage(pattern));
        cover.setPalette(palette);
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        QTRY_COMPARE(QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
                         QImage::Format_RGB32),
                     pattern);
        const QImage shot = chooseScreenGrabber()->grabPrimaryScreen().image;
        QCOMPARE(shot, pattern);
        QCOMPARE(inSharedMemory(shot.constBits()), qEnvironmentVariableIntValue("EXPECT_SHM") == 1);
    }

private:
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
