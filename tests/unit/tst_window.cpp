// The main window's commands on scripted services and real files: which slot a grab fills,
// what reaches the printer, the files and the clipboard, and what the user is told.

#include "CpuTime.h"
#include "Fakes.h"
#include "designcontrols/PictureBox.h"
#include "dialogs/AboutForm.h"
#include "dialogs/ConfirmForm.h"
#include "printing/PrintPreviewForm.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The colour in the middle of what a picture box shows.
QRgb centreColour(FakeDesktop &d, const QString &box)
{
    const QImage shown = d.find<PictureBox>(box)->shown();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
}

QRgb thumbnailColour(FakeDesktop &d, int slot)
{
    return centreColour(d, QStringLiteral("GrabbedPicture%1").arg(slot));
}

// Where what a picture box shows differs from the picture it holds: the crop's outline.
QRect outline(const PictureBox &box)
{
    const QImage shown = box.shown(), held = box.surface().image();
    QRect differs;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != held.pixel(x, y))
                differs |= QRect(x, y, 1, 1);
    return differs;
}

void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, held, {});
    QApplication::sendEvent(w, &event);
}

// The left button pressed at one point, moved through the others, and released at the last.
void drag(QWidget *w, const QList<QPoint> &points)
{
    mouse(w, QEvent::MouseButtonPress, points.first(), Qt::LeftButton);
    for (const QPoint &point : points.mid(1))
        mouse(w, QEvent::MouseMove, point, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, points.last(), Qt::NoButton);
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

// Eight by six blocks of distinct colours: scaled down, it still shows where each part went.
QImage blocks(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int block = y * 6 / size.height() * 8 + x * 8 / size.width();
            image.setPixel(x, y, qRgb(block * 37 % 256, block * 91 % 256, 255 - block * 5));
        }
    return image;
}

// How many pixels of a picture have no pixel like them within one pixel of their place in
// another picture of the same size: edges scaled by another filter are alike, a shift is not.
int differing(const QImage &a, const QImage &b)
{
    auto alike = [](QRgb p, QRgb q) {
        return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                         std::abs(qBlue(p) - qBlue(q))}) <= 48;
    };
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool found = false;
            for (int j = std::max(0, y - 1); j <= std::min(a.height() - 1, y + 1); ++j)
                for (int i = std::max(0, x - 1); i <= std::min(a.width() - 1, x + 1); ++i)
                    found = found || alike(a.pixel(x, y), b.pixel(i, j));
            count += !found;
        }
    return count;
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
    void thePreviewShowsThePrintedSheet_data();
    void thePreviewShowsThePrintedSheet();
    void printerSetupChoosesAndTheChoiceShows();
    void enterPressesTheFocusedButton();
    void savedFilesHoldTheShot();
    void aReplacedFileIsNeverLost();
    void aCropIsExactlyWhatTheLabelSays_data();
    void aCropIsExactlyWhatTheLabelSays();
    void nothingMarkedIsNothingSent_data();
    void nothingMarkedIsNothingSent();
    void helpReachesTheWebAndSystemInformation_data();
    void helpReachesTheWebAndSystemInformation();
    void popUpsSayWhatWasDone();
    void onlyWhatHappenedIsConfirmed_data();
    void onlyWhatHappenedIsConfirmed();
    void autoDumpLeavesTheWindowAsTheUserWants();
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
    QCOMPARE(centreColour(d, QStringLiteral("CurrentImage1")), colours[5]);

    // A picked thumbnail is shown, and is the one the next grab replaces; later grabs go on
    // from there.
    drag(d.find<PictureBox>(QStringLiteral("GrabbedPicture2")), {QPoint(20, 20)});
    QCOMPARE(centreColour(d, QStringLiteral("CurrentImage1")), colours[2]);
    for (const QRgb colour : {0xff000000u, 0xff808080u, 0xffffffffu}) {
        screen.fill(colour);
        d.screen.screen = screen.copy();
        d.trigger("GrabScreenMenuItem");
    }
    const QList<QRgb> now{colours[5], colours[1], 0xff000000, 0xff808080, 0xffffffff};
    for (int slot = 0; slot < 5; ++slot)
        QCOMPARE(thumbnailColour(d, slot), now[slot]);
    QCOMPARE(centreColour(d, QStringLiteral("CurrentImage1")), now[4]);
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
    d.screen.screen = QImage(64, 48, QImage::Format_RGB32);
    d.screen.screen.fill(Qt::red);
    d.trigger("GrabScreenMenuItem");
    QCOMPARE(thumbnailColour(d, 1), QColor(Qt::red).rgb());
    QVERIFY(thumbnailColour(d, 2) != QColor(Qt::red).rgb());
}

void tst_Window::printing_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("previewButton");
    QTest::addColumn<bool>("printerTakesIt");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("told");
    const auto row = [](const char *name, const char *arguments, const char *button, bool takes,
                        int pages, const QStringList &told) {
        QTest::newRow(name) << arguments << button << takes << pages << told;
    };
    const QString printing = QStringLiteral("Printing Now");
    row("printed", "", "PrintButton", true, 1, {printing});
    row("cancelled", "", "CancelButton", true, 0, {});
    row("refused by the printer", "", "PrintButton", false, 1,
        {printing, "Print Now|Nothing was printed: the printer \"Recording Printer\" did not "
                   "take the page."});
    row("no shot yet", "/a", "", true, 0,
        {"Print Now|Cannot be Printed.\r\nThe selected Screen Shot is Empty."});
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
    QTRY_COMPARE(d.confirmations->shown + d.messages.shown, told);
    QTRY_COMPARE(d.printer.pages.size(), pages);
    QTRY_VERIFY(d.form->cursor().shape() != Qt::WaitCursor);
    if (pages) {
        // At 100 % the shot's own pixels at true size, centred on the sheet.
        const FakePrinter::Page &page = d.printer.pages.first();
        QCOMPARE(page.picture.convertToFormat(QImage::Format_RGB32), shot);
        QCOMPARE(page.target, QRectF(468, 363, 120, 90));
        QVERIFY(page.printedWhileTheWindowRan);
    }
}

void tst_Window::thePreviewShowsThePrintedSheet_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<QRect>("marked"); // on the preview, in pixels; empty: the whole shot
    for (int percent : {25, 50, 100, 200})
        QTest::addRow("%d %%", percent) << percent << QRect();
    QTest::newRow("marked, 100 %") << 100 << QRect(300, 40, 200, 150);
}

void tst_Window::thePreviewShowsThePrintedSheet()
{
    QFETCH(int, percent);
    QFETCH(QRect, marked);
    FakeDesktop d;
    d.start(blocks(QSize(1920, 1080)));
    if (!marked.isEmpty()) {
        drag(d.find<PictureBox>(QStringLiteral("CurrentImage1")),
             {marked.topLeft(), marked.bottomRight()});
    }
    QImage shown;
    whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
        preview->findChild<QScrollBar *>(QStringLiteral("ZoomFactorBar"))->setValue(percent);
        shown = preview->findChild<PictureBox *>(QStringLiteral("PreviewPicture1"))->shown();
        preview->findChild<QPushButton *>(QStringLiteral("PrintButton"))->click();
    });
    d.trigger("PrintScreenMenuItem");
    QTRY_COMPARE(d.printer.pages.size(), 1);
    const FakePrinter::Page &page = d.printer.pages.first();
    QCOMPARE(page.target.size(), QSizeF(page.picture.size()) * percent / 100);
    // The printed sheet drawn at the box's scale, in the middle of the box, grey around it.
    const QSizeF sheet = d.printer.printable;
    const double scale = std::min(shown.width() / sheet.width(), shown.height() / sheet.height());
    const QRectF paper(
        QPointF(shown.width() - sheet.width() * scale, shown.height() - sheet.height() * scale) / 2,
        sheet * scale);
    QImage printed(shown.size(), QImage::Format_RGB32);
    printed.fill(QColor(128, 128, 128));
    QPainter painter(&printed);
    painter.fillRect(paper, Qt::white);
    painter.setClipRect(paper);
    const QRect target =
        QRectF(paper.topLeft() + page.target.topLeft() * scale, page.target.size() * scale)
            .toRect();
    painter.drawImage(target.topLeft(), page.picture.scaled(target.size(), Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation));
    painter.end();
    QVERIFY2(differing(shown, printed) < shown.width() * shown.height() / 200,
             qPrintable(QString::number(differing(shown, printed))));
}

void tst_Window::printerSetupChoosesAndTheChoiceShows()
{
    FakeDesktop d;
    d.start(pattern(QSize(64, 48)));
    QStringList named;
    QList<QRgb> edge; // the preview's left edge, half-way down, before and after
    whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
        const auto *box = preview->findChild<PictureBox *>(QStringLiteral("PreviewPicture1"));
        const QLabel *label = preview->findChild<QLabel *>(QStringLiteral("PrinterNameLabel"));
        named << label->text();
        edge << box->shown().pixel(0, box->shown().height() / 2);
        preview->findChild<QPushButton *>(QStringLiteral("PrinterSetupButton"))->click();
        edge << box->shown().pixel(0, box->shown().height() / 2);
        named << label->text();
        preview->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
    });
    d.trigger("PrintScreenMenuItem");
    QCOMPARE(named, QStringList({"Recording Printer", "Chosen Printer"}));
    // Letter is narrower than the box, A4 (the chosen printer's paper) fills its width.
    QCOMPARE(edge, QList<QRgb>({qRgb(128, 128, 128), qRgb(255, 255, 255)}));
    QVERIFY(d.printer.pages.isEmpty());

    if (QSysInfo::productType() == QLatin1String("windows"))
        QSKIP("Windows shows its own print setup dialog, which only a user can answer");
    QPrinter printer;
    QString accept;
    whenShown<QPrintDialog>([&accept](QPrintDialog *dialog) {
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        for (QAbstractButton *button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                accept += button->text();
        dialog->findChild<QSpinBox *>(QStringLiteral("copies"))->setValue(3);
        dialog->accept();
    });
    QVERIFY(showPrintSetupDialog(printer, nullptr));
    QCOMPARE(accept, QStringLiteral("OK"));
    QCOMPARE(printer.copyCount(), 1);
}

void tst_Window::enterPressesTheFocusedButton()
{
    FakeDesktop d;
    d.start(pattern(QSize(64, 48)));
    QTest::keyClick(d.find<QPushButton>(QStringLiteral("GrabButton")), Qt::Key_Return);
    QCOMPARE(d.screen.grabs, 2);

    bool boxStayed = false;
    whenShown<AboutForm>([&boxStayed](AboutForm *about) {
        QTest::keyClick(about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo")),
                        Qt::Key_Return);
        boxStayed = about->isVisible();
        about->accept();
    });
    d.trigger("AboutMenuItem");
    QVERIFY(boxStayed);
    QCOMPARE(d.messages.shown.size(), 1); // the tool is not there: said so, from the box

    bool cancelled = false;
    whenShown<PrintPreviewForm>([&cancelled](PrintPreviewForm *preview) {
        QTest::keyClick(preview->findChild<QPushButton *>(QStringLiteral("CancelButton")),
                        Qt::Key_Return);
        cancelled = !preview->isVisible();
        preview->reject();
    });
    d.trigger("PrintScreenMenuItem");
    QVERIFY(cancelled && d.printer.pages.isEmpty());
}

void tst_Window::savedFilesHoldTheShot()
{
    QTemporaryDir temporary;
    // A folder named outside any one code page.
    QDir dir(temporary.path());
    const QString folder = QStringLiteral("Zoë Снимки");
    QVERIFY(dir.mkdir(folder) && dir.cd(folder));
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
    // So is PNG, under the type's own extension.
    d.dialogs.answer = {false, dir.filePath(QStringLiteral("Shot")), 3};
    d.trigger("SaveToFileMenuItem");
    QCOMPARE(QImage(dir.filePath("Shot.png"), "png").convertToFormat(QImage::Format_RGB32), shot);
    QVERIFY(d.messages.shown.isEmpty());
    QCOMPARE(d.confirmations->shown.size(), 3);

    // An existing file is replaced only after a yes, also when the name typed was another.
    d.messages.answers = {false};
    d.screen.screen = pattern(QSize(160, 120), 9);
    d.trigger("GrabScreenMenuItem");
    d.dialogs.answer = {false, dir.filePath(QStringLiteral("Shot.gif")), 2};
    d.trigger("SaveToFileMenuItem");
    QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), shot);
    QCOMPARE(d.messages.shown,
             QStringList{"Warning - File Already Exists|" + QDir::toNativeSeparators(bmp) +
                         "\r\nDo you want to Overwrite it ?"});
    d.messages.answers = {true};
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

void tst_Window::aCropIsExactlyWhatTheLabelSays_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("corner"); // the shot's pixel under the crop's top-left corner
    QTest::newRow("down and right") << QPoint(10, 20) << QPoint(110, 70) << QPoint(33, 52);
    QTest::newRow("up and left, off the grid")
        << QPoint(241, 199) << QPoint(105, 94) << QPoint(356, 245);
    QTest::newRow("past the far corner")
        << QPoint(400, 300) << QPoint(700, 600) << QPoint(1359, 784);
    QTest::newRow("to the near corner") << QPoint(37, 41) << QPoint(-20, -20) << QPoint(0, 0);
}

void tst_Window::aCropIsExactlyWhatTheLabelSays()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QPoint, corner);
    FakeDesktop d;
    // Every pixel says where it is, so a picture shows which part of the shot it came from.
    QImage shot(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            shot.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) | ((y >> 8) << 4)));
    d.start(shot);
    auto *preview = d.find<PictureBox>(QStringLiteral("CurrentImage1"));
    const QPoint border(2, 2);
    drag(preview, {border + from, border + (from + to) / 2, border + to});
    const QRegularExpressionMatch label =
        QRegularExpression(QStringLiteral("^Crop Window Set = W(\\d+) x H(\\d+)$"))
            .match(d.find<QLabel>(QStringLiteral("CurrentImageLabel"))->text());
    QVERIFY(label.hasMatch());
    d.trigger("SaveToClipboardMenuItem");
    QCOMPARE(d.confirmations->shown, QStringList{QStringLiteral("Copied to Clipboard")});
    const QImage copied = d.clipboard.content.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(copied.size(), QSize(label.captured(1).toInt(), label.captured(2).toInt()));
    QCOMPARE(copied, shot.copy(QRect(corner, copied.size())));

    // The outline runs along the dragged rectangle, and blinks.
    const QRect dragged =
        QRect(from, to).normalized() & QRect(QPoint(0, 0), preview->shown().size());
    const QRect drawn = outline(*preview);
    QVERIFY2(qAbs(drawn.left() - dragged.left()) <= 1 && qAbs(drawn.top() - dragged.top()) <= 1 &&
                 qAbs(drawn.right() - dragged.right()) <= 1 &&
                 qAbs(drawn.bottom() - dragged.bottom()) <= 1,
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(drawn.x())
                            .arg(drawn.y())
                            .arg(drawn.width())
                            .arg(drawn.height())));
    QTRY_VERIFY_WITH_TIMEOUT(outline(*preview).isEmpty(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(outline(*preview) == drawn, 1000);
}

void tst_Window::nothingMarkedIsNothingSent_data()
{
    QTest::addColumn<QPoint>("dragTo"); // from (50, 50) on the preview, after a click on slot 3
    QTest::addColumn<QStringList>("told");
    QTest::newRow("an empty slot")
        << QPoint(50, 50)
        << QStringList{"Print Now|Cannot be Printed.\r\nThe selected Screen Shot is Empty.",
                       "Warning - Save to File|Cannot be Saved.\r\nThe selected Screen Shot is "
                       "Empty.",
                       "Warning - Copy to Clipboard|Cannot be Copied.\r\nThe selected Screen "
                       "Shot is Empty."};
    const QString none = QStringLiteral("The selected area has no width or no height: there is "
                                        "nothing to %1.");
    QTest::newRow("a line, no area")
        << QPoint(50, 90)
        << QStringList{"Print Now|" + none.arg("print"),
                       "Warning - Save to File|" + none.arg("save"),
                       "Warning - Copy to Clipboard|" + none.arg("copy")};
}

void tst_Window::nothingMarkedIsNothingSent()
{
    QFETCH(QPoint, dragTo);
    QFETCH(QStringList, told);
    FakeDesktop d;
    d.start(pattern(QSize(640, 480)));
    if (dragTo == QPoint(50, 50))
        drag(d.find<PictureBox>(QStringLiteral("GrabbedPicture3")), {QPoint(20, 20)});
    drag(d.find<PictureBox>(QStringLiteral("CurrentImage1")), {QPoint(50, 50), dragTo});
    if (dragTo == QPoint(50, 50))
        QCOMPARE(d.find<QLabel>(QStringLiteral("CurrentImageLabel"))->text(),
                 QStringLiteral("Screen Shot - Empty"));
    for (const char *command :
         {"PrintScreenMenuItem", "SaveToFileMenuItem", "SaveToClipboardMenuItem"})
        d.trigger(command);
    QCOMPARE(d.messages.shown, told);
    QVERIFY(d.printer.pages.isEmpty() && d.dialogs.folders.isEmpty() &&
            d.clipboard.content.isNull());
}

void tst_Window::helpReachesTheWebAndSystemInformation_data()
{
    QTest::addColumn<QString>("tool"); // where the registry says it is; empty: nowhere
    QTest::addColumn<bool>("standardUser");
    QTest::addColumn<QStringList>("told");
    const QString tool = QStringLiteral("C:\\Windows\\System32\\msinfo32.exe");
    QTest::newRow("administrator") << tool << false << QStringList();
    QTest::newRow("standard user") << tool << true << QStringList();
    QTest::newRow("no tool") << QString() << false
                             << QStringList{"|System Information Is Unavailable At This Time"};
}

void tst_Window::helpReachesTheWebAndSystemInformation()
{
    QFETCH(QString, tool);
    QFETCH(bool, standardUser);
    QFETCH(QStringList, told);
    FakeDesktop d;
    d.registry.toolPath = tool;
    d.registry.standardUser = standardUser;
    d.start(pattern(QSize(64, 48)));
    d.trigger("VisitMoonferryMenuItem");
    QCOMPARE(d.shell.opened, QStringList{"http://www.moonferry.example/"});
    whenShown<AboutForm>([](AboutForm *about) {
        about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
        about->accept();
    });
    d.trigger("AboutMenuItem");
    QCOMPARE(d.processes.started, tool.isEmpty() ? QStringList() : QStringList{tool});
    QCOMPARE(d.messages.shown, told);
}

// The real pop-ups: each says what was done, and stays two seconds unless it is clicked.
void tst_Window::popUpsSayWhatWasDone()
{
    QWidget owner;
    QtEventPump events;
    FixedMetrics metrics;
    ConfirmPopups popups(owner, events, metrics);
    const std::pair<void (IConfirmations::*)(), QString> kinds[] = {
        {&IConfirmations::confirmSave, "Saved to File"},
        {&IConfirmations::confirmCopy, "Copied to Clipboard"},
        {&IConfirmations::confirmPrint, "Printing Now"}};
    for (const auto &[confirm, text] : kinds) {
        const bool waited = text == kinds[0].second;
        QString said;
        whenShown<ConfirmForm>([&](ConfirmForm *form) {
            said = form->findChild<QLabel *>(QStringLiteral("Label2"))->text();
            if (!waited)
                QTest::mouseClick(form->findChild<QLabel *>(QStringLiteral("Label2")),
                                  Qt::LeftButton);
        });
        QElapsedTimer clock;
        clock.start();
        (popups.*confirm)();
        QCOMPARE(said, text);
        QVERIFY2(waited ? clock.elapsed() >= 2000 && clock.elapsed() < 3000
                        : clock.elapsed() < 1000,
                 qPrintable(QString::number(clock.elapsed())));
    }
}

void tst_Window::onlyWhatHappenedIsConfirmed_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("told");
    QTest::newRow("read-only file, before any question")
        << "read-only"
        << "Warning - Save to File|Cannot replace %1: it is read-only.";
    QTest::newRow("disk full")
        << "disk full"
        << "Warning - Save to File|Cannot save %1:\r\nNo space left on device";
    QTest::newRow("clipboard held by another program")
        << "clipboard"
        << "Warning - Copy to Clipboard|The picture could not be put on the "
           "clipboard: another program may be holding it. Please try again.";
}

void tst_Window::onlyWhatHappenedIsConfirmed()
{
    QFETCH(QString, failure);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Shot.bmp"));
    FakeDesktop d;
    d.start(pattern(QSize(64, 48)));
    d.dialogs.answer = {false, file, 2};
    d.files.diskFull = failure == QLatin1String("disk full");
    d.clipboard.accept = failure != QLatin1String("clipboard");
    if (failure == QLatin1String("read-only")) {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    }
    d.trigger(failure == QLatin1String("clipboard") ? "SaveToClipboardMenuItem"
                                                    : "SaveToFileMenuItem");
    QCOMPARE(d.messages.shown, QStringList{told.arg(QDir::toNativeSeparators(file))});
    QVERIFY(d.confirmations->shown.isEmpty());
    QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void tst_Window::autoDumpLeavesTheWindowAsTheUserWants()
{
    FakeDesktop d;
    d.program.args = QStringLiteral("/A");
    GlimmerboxForm &form = d.start(pattern(QSize(64, 48)));
    // Before any shot, only the thumbnail picked looks pressed.
    drag(d.find<PictureBox>(QStringLiteral("GrabbedPicture2")), {QPoint(20, 20)});
    for (int slot = 0; slot < 5; ++slot)
        QCOMPARE(d.find<PictureBox>(QStringLiteral("GrabbedPicture%1").arg(slot))->look(),
                 slot == 2 ? PictureBox::Look::Sunken : PictureBox::Look::Flat);
    // Maximised while a page is being made: the normal window, with its normal caption.
    d.screen.whileGrabbing = [&form] {
        form.setWindowState(Qt::WindowMaximized);
        QApplication::processEvents(); // as the pause before the grab lets it arrive
    };
    form.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(d.printer.pages.size(), 1);
    QCOMPARE(form.windowTitle(), QStringLiteral("Glimmerbox"));
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
    pause(events, 0.5f);
    const double cpu = processCpuSeconds() - cpuBefore;
    QVERIFY2(wall.elapsed() >= 500 && wall.elapsed() < 1500,
             qPrintable(QString::number(wall.elapsed())));
    QVERIFY2(ticks >= 5, "window events did not run during the pause");
    QVERIFY2(cpu < 0.25,
             qPrintable(QStringLiteral("the pause used %1 s of processor time").arg(cpu)));
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
