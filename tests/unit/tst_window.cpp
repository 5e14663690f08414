// The main window's commands on scripted services and real files: which slot a grab fills,
// what reaches the printer, the files and the clipboard, and what the user is told.

#include "CpuTime.h"
#include "Fakes.h"
#include "platform/PictureBox.h"
#include "printing/PrintPreviewForm.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A picture whose every pixel differs from its neighbours, so a shift or a swap shows.
QImage pattern(QSize size, int seed = 0)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 13) & 255, (x * y + seed) & 255));
    return image;
}

QRgb thumbnailColour(FakeDesktop &d, int slot)
{
    const QImage shown = d.find<PictureBox>(QStringLiteral("GrabbedPicture%1").arg(slot))->shown();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
}

void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, {});
    QApplication::sendEvent(w, &event);
}

// The quantisation values a JPEG file's first table starts with.
QByteArray firstQuantValues(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = in.readAll();
    const qsizetype dqt = bytes.indexOf("\xff\xdb");
    return dqt < 0 ? QByteArray() : bytes.mid(dqt + 5, 8);
}

} // namespace

class tst_Window : public QObject
{
    Q_OBJECT

private slots:
    void grabsFillTheSlotsInTurn();
    void aFailedGrabChangesNothing();
    void printing_data();
    void printing();
    void savedFilesHoldTheShot();
    void aReplacedFileIsNeverLost();
    void aCropReachesTheClipboardPixelForPixel();
    void thePauseBeforeAGrabLetsEventsRunWithoutBusyWaiting();
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }
};

void tst_Window::grabsFillTheSlotsInTurn()
{
    FakeDesktop d;
    const QList<QRgb> colours{0xff0000ff, 0xff00ff00, 0xffff0000,
                              0xff00ffff, 0xffffff00, 0xffff00ff};
    QImage screen(64, 48, QImage::Format_RGB32);
    screen.fill(colours[0]);
    d.start(screen);
    for (int i = 1; i < 6; ++i) {
        screen.fill(colours[i]);
        d.screen.screen = screen.copy();
        d.trigger("GrabScreenMenuItem");
    }
    // The sixth shot replaced the oldest; the rest are in the order they were taken.
    for (int slot = 0; slot < 5; ++slot)
        QCOMPARE(thumbnailColour(d, slot), colours[slot == 0 ? 5 : slot]);
    QCOMPARE(d.find<QLabel>(QStringLiteral("CurrentImageLabel"))->text(),
             QStringLiteral("Entire Screen Shot Selected - W64 x H48"));

    // A picked thumbnail is the one the next grab replaces.
    QWidget *third = d.find<PictureBox>(QStringLiteral("GrabbedPicture2"));
    mouse(third, QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
    mouse(third, QEvent::MouseButtonRelease, QPoint(20, 20), Qt::NoButton);
    screen.fill(Qt::black);
    d.screen.screen = screen.copy();
    d.trigger("GrabScreenMenuItem");
    QCOMPARE(thumbnailColour(d, 2), QColor(Qt::black).rgb());
    QCOMPARE(thumbnailColour(d, 3), colours[3]);
}

void tst_Window::aFailedGrabChangesNothing()
{
    FakeDesktop d;
    d.start(pattern(QSize(64, 48)));
    d.screen.screen = QImage();
    d.trigger("GrabScreenMenuItem");
    QCOMPARE(d.messages.shown, QStringList{QStringLiteral(
                                   "Grab Screen|The screen could not be copied: the test's screen "
                                   "is dark.\r\nNo shot was taken.")});
    QVERIFY(d.form->isVisible());
    // The next grab goes where it would have gone: the failed one took no slot.
    d.screen.screen = pattern(QSize(64, 48), 1);
    d.trigger("GrabScreenMenuItem");
    QCOMPARE(d.find<PictureBox>(QStringLiteral("GrabbedPicture1"))->tag(),
             QStringLiteral("NotEmpty"));
    QVERIFY(d.find<PictureBox>(QStringLiteral("GrabbedPicture2"))->tag().isEmpty());
}

void tst_Window::printing_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("previewButton");
    QTest::addColumn<bool>("printerTakesIt");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("told");
    const QStringList printing{QStringLiteral("Printing Now")};
    QTest::newRow("printed") << ""
                             << "PrintButton" << true << 1 << printing;
    QTest::newRow("cancelled") << ""
                               << "CancelButton" << true << 0 << QStringList();
    QTest::newRow("refused by the printer")
        << ""
        << "PrintButton" << false << 1
        << QStringList{printing[0], QStringLiteral("Print Now|Nothing was printed: the printer "
                                                   "\"Recording Printer\" did not take the page.")};
    QTest::newRow("no shot yet") << "/a"
                                 << "" << true << 0
                                 << QStringList{QStringLiteral(
                                        "Print Now|Cannot be Printed.\r\nThe selected Screen Shot "
                                        "is Empty.")};
}

void tst_Window::printing()
{
    QFETCH(QString, arguments);
    QFETCH(QString, previewButton);
    QFETCH(bool, printerTakesIt);
    QFETCH(int, pages);
    QFETCH(QStringList, told);
    FakeDesktop d;
    d.program.args = arguments;
    d.printer.takesPages = printerTakesIt;
    const QImage shot = pattern(QSize(120, 90));
    d.start(shot);
    d.messages.shown.clear();
    if (!previewButton.isEmpty())
        whenShown<PrintPreviewForm>([previewButton](PrintPreviewForm *preview) {
            preview->findChild<QPushButton *>(previewButton)->click();
        });
    d.trigger("PrintScreenMenuItem");
    QCOMPARE(d.confirmations->shown + d.messages.shown, told);
    QCOMPARE(d.printer.pages.size(), pages);
    if (pages) {
        // At 100 % the page image is the shot itself, from the corner, on a landscape page.
        const FakePrinter::Page &page = d.printer.pages.first();
        QCOMPARE(page.picture.convertToFormat(QImage::Format_RGB32), shot);
        QCOMPARE(QPointF(page.x, page.y), QPointF(0, 0));
        QCOMPARE(page.orientation, int(IPrinter::Landscape));
    }
    QCOMPARE(d.printer.orientationValue, int(IPrinter::Portrait));
}

void tst_Window::savedFilesHoldTheShot()
{
    QTemporaryDir dir;
    FakeDesktop d;
    const QImage shot = pattern(QSize(160, 120));
    d.start(shot);
    const QString jpeg = dir.filePath(QStringLiteral("Shot.jpg"));
    d.dialogs.answer = {false, jpeg, 1};
    d.trigger("SaveToFileMenuItem");
    // Quality 90: libjpeg's base luminance table scaled to a fifth.
    QCOMPARE(firstQuantValues(jpeg), QByteArray("\3\2\2\3\2\2\3\3"));
    const QImage decoded(jpeg);
    QCOMPARE(decoded.size(), shot.size());
    // Upright and in its colours: a flipped or channel-swapped picture is far off.
    const QImage smooth = shot.scaled(16, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage back = decoded.scaled(16, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            QVERIFY(qAbs(qRed(smooth.pixel(x, y)) - qRed(back.pixel(x, y))) +
                        qAbs(qBlue(smooth.pixel(x, y)) - qBlue(back.pixel(x, y))) <
                    40);

    // The bitmap is exact, and the dialog now starts where the last file went.
    const QString bmp = dir.filePath(QStringLiteral("Shot.bmp"));
    d.dialogs.answer = {false, bmp, 2};
    d.trigger("SaveToFileMenuItem");
    QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), shot);
    QCOMPARE(d.dialogs.folders.last(), dir.path() + QLatin1Char('/'));
    QCOMPARE(d.confirmations->shown.size(), 2);

    // An existing file is replaced only after a yes.
    d.messages.answers = {IMessageBox::No};
    d.screen.screen = pattern(QSize(160, 120), 9);
    d.trigger("GrabScreenMenuItem");
    d.trigger("SaveToFileMenuItem");
    QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), shot);
    d.messages.answers = {IMessageBox::Yes};
    d.trigger("SaveToFileMenuItem");
    QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), d.screen.screen);
}

void tst_Window::aReplacedFileIsNeverLost()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Screen.bmp"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the old picture") > 0);
    old.close();
    const QFileDevice::Permissions kept =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(old.setPermissions(kept));
    const QFileDevice::Permissions before = old.permissions();
    QtFiles files;
    auto writeNew = [](bool succeed) {
        return [succeed](const QString &temporary) {
            QFile f(temporary);
            return f.open(QIODevice::WriteOnly) && f.write("half a pict") > 0 && succeed;
        };
    };
    QCOMPARE(files.replaceSafely(target, writeNew(false)).outcome, ReplaceResult::WriterFailed);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old picture"));
    old.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Screen.bmp")});

    QCOMPARE(files.replaceSafely(target, writeNew(true)).outcome, ReplaceResult::Replaced);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("half a pict"));
    QCOMPARE(old.permissions(), before);
}

void tst_Window::aCropReachesTheClipboardPixelForPixel()
{
    FakeDesktop d;
    // Twice the preview's 565 x 413 pixels: one preview pixel is two by two of the shot.
    const QImage shot = pattern(QSize(1130, 826));
    d.start(shot);
    QWidget *preview = d.find<PictureBox>(QStringLiteral("CurrentImage1"));
    const int border = 2;
    mouse(preview, QEvent::MouseButtonPress, QPoint(border + 10, border + 20), Qt::LeftButton);
    mouse(preview, QEvent::MouseMove, QPoint(border + 60, border + 45), Qt::LeftButton);
    mouse(preview, QEvent::MouseMove, QPoint(border + 110, border + 70), Qt::LeftButton);
    mouse(preview, QEvent::MouseButtonRelease, QPoint(border + 110, border + 70), Qt::NoButton);
    QCOMPARE(d.find<QLabel>(QStringLiteral("CurrentImageLabel"))->text(),
             QStringLiteral("Crop Window Set = W200 x H100"));
    d.trigger("SaveToClipboardMenuItem");
    QCOMPARE(d.confirmations->shown, QStringList{QStringLiteral("Copied to Clipboard")});
    QCOMPARE(d.clipboard.content.convertToFormat(QImage::Format_RGB32),
             shot.copy(20, 40, 200, 100));
}

void tst_Window::thePauseBeforeAGrabLetsEventsRunWithoutBusyWaiting()
{
    QtEventPump events;
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    Pause(events, 0.5f);
    const double cpu = processCpuSeconds() - cpuBefore;
    QVERIFY2(wall.elapsed() >= 500 && wall.elapsed() < 1500,
             qPrintable(QString::number(wall.elapsed())));
    QVERIFY2(ticks >= 5, "window events did not run during the pause");
    QVERIFY2(cpu < 0.25,
             qPrintable(QStringLiteral("the pause used %1 s of processor time").arg(cpu)));
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
