// The real program, started as its own process and looked at only from outside, the way the
// X server and a user see it.

#include "TestPattern.h"
#include "X11Checks.h"
#include "X11Screen.h"
#include "XTools.h"

#include <QProcess>
#include <QtTest>

class tst_E2eMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowIsCentredWithItsLayoutAndPreview();
    void exitEndsTheProgram();
    void cleanupTestCase();

private:
    QProcess program;
    QString window;
    QImage pattern;
};

void tst_E2eMainWindow::initTestCase()
{
    REQUIRE_X11();
    pattern = TestPattern::make(QSize(1024, 768), 3);
    QString error;
    QVERIFY2(X11Screen::setRootPicture(pattern, &error), qPrintable(error));
    program.setProgram(QStringLiteral(GLIMMERBOX_EXE));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted());
    QVERIFY2(XTools::waitFor(
                 [&] {
                     const QStringList found =
                         XTools::visibleWindows(QStringLiteral("^Glimmerbox v1\\.04$"));
                     if (found.size() == 1)
                         window = found.first();
                     return found.size() == 1;
                 },
                 15000),
             "the main window did not appear");
}

void tst_E2eMainWindow::windowIsCentredWithItsLayoutAndPreview()
{
    QCOMPARE(XTools::caption(window), QStringLiteral("Glimmerbox v1.04"));
    // The frame (client plus the window manager's decoration) settles in the screen's middle.
    QRect client;
    QList<int> frame;
    const bool centred = XTools::waitFor(
        [&] {
            client = XTools::geometry(window);
            frame = XTools::frameExtents(window);
            if (frame.size() != 4)
                return false;
            const QRect outer = client.adjusted(-frame[0], -frame[2], frame[1], frame[3]);
            return std::abs(outer.center().x() - 511) <= 1 &&
                   std::abs(outer.center().y() - 383) <= 1;
        },
        5000);
    QVERIFY2(centred, qPrintable(QStringLiteral("client %1,%2 %3x%4")
                                     .arg(client.x())
                                     .arg(client.y())
                                     .arg(client.width())
                                     .arg(client.height())));
    QCOMPARE(client.width(), 737);

    // The menu bar is above the client area; its first row is the dark etched line, over a
    // light grey one.
    const QImage screen = X11Screen::dump();
    auto rowIs = [&](int y, auto test) {
        for (int x = client.x() + 2; x < client.x() + 590; ++x)
            if (!test(QColor(screen.pixel(x, y))))
                return false;
        return true;
    };
    int menuBar = -1;
    for (int y = 10; y < 40 && menuBar < 0; ++y) {
        if (rowIs(client.y() + y, [](QColor c) { return c.value() < 0x40; }) &&
            rowIs(client.y() + y + 1, [](QColor c) { return c.rgb() == qRgb(0xc0, 0xc0, 0xc0); }))
            menuBar = y;
    }
    QVERIFY2(menuBar > 0, "no etched line under the menu bar");
    QCOMPARE(client.height() - menuBar, 488);

    // The divider between preview and thumbnails: black at 598, light grey at 600.
    const int dividerY = client.y() + menuBar + 200;
    QCOMPARE(QColor(screen.pixel(client.x() + 598, dividerY)), QColor(Qt::black));
    QCOMPARE(QColor(screen.pixel(client.x() + 600, dividerY)), QColor(0xc0, 0xc0, 0xc0));

    // The preview (569 x 417 at 16, 16 with a two-pixel border) shows the screen stretched.
    const QRect drawing(client.x() + 18, client.y() + menuBar + 18, 565, 413);
    const QImage preview = screen.copy(drawing);
    const QImage expected =
        pattern.scaled(drawing.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double difference = TestPattern::meanDifference(preview, expected);
    QVERIFY2(difference < 6, qPrintable(QString::number(difference)));
    // Thumbnail 0 (113 x 81 at 616, 16 with one pixel of border) shows it too.
    const QRect thumb(client.x() + 617, client.y() + menuBar + 17, 111, 79);
    const double thumbDifference = TestPattern::meanDifference(
        screen.copy(thumb),
        pattern.scaled(thumb.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QVERIFY2(thumbDifference < 12, qPrintable(QString::number(thumbDifference)));
}

void tst_E2eMainWindow::exitEndsTheProgram()
{
    XTools::run(QStringLiteral("xdotool"),
                {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    // Typed into the focused window through the X server, as a keyboard would: a key sent to a
    // window that closes half-way would leave the key pressed in the server.
    XTools::run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+x")});
    QVERIFY2(program.waitForFinished(10000), "Ctrl+X did not end the program");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void tst_E2eMainWindow::cleanupTestCase()
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
}

QTEST_MAIN(tst_E2eMainWindow)
#include "tst_e2e_mainwindow.moc"
