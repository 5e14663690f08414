// The main window's commands on scripted services and real files: which slot a grab fills,
// what reaches the printer, the files and the clipboard, and what the user is told.

#include "CpuTime.h"
#include "Fakes.h"
#include "designcontrols/PictureBox.h"
#include "dialogs/AboutForm.h"
#include "dialogs/ConfirmForm.h"
#include "printing/PrintPreviewForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

namespace {

const QList<QRgb> colours{0xff0000ff, 0xff00ff00, 0xffff0000, 0xff00ffff, 0xffffff00, 0xffff00ff};

QRgb centreColour(const PictureBox *box)
{
    const QImage shown = box->shown();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
}

QList<QRgb> thumbnailColours(const FakeDesktop &d)
{
    QList<QRgb> colours;
    for (int slot = 0; slot < 5; ++slot)
        colours << centreColour(d.find<PictureBox>(QStringLiteral("GrabbedPicture%1").arg(slot)));
    return colours;
}

QImage plain(QRgb colour)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray contents(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool write(const QString &file, const QByteArray &bytes)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

// Where, and in how many pixels, a picture box shows other than the picture it holds.
QRect outline(const PictureBox &box, int *pixels = nullptr)
{
    const QImage shown = box.shown(), held = box.surface().image();
    QRect differs;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != held.pixel(x, y) && (!pixels || ++*pixels))
                differs |= QRect(x, y, 1, 1);
    return differs;
}

void drag(QWidget *w, const QList<QPoint> &points)
{
    QTest::mousePress(w, Qt::LeftButton, {}, points.first());
    for (const QPoint &point : points.mid(1))
        QTest::mouseMove(w, point);
    QTest::mouseRelease(w, Qt::LeftButton, {}, points.last());
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

// What a screen reader reads of a window, "Role name" for each control: all but unnamed groups.
QStringList readOut(QObject *window)
{
    QStringList out;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *parent) {
        for (int i = 0; i < parent->childCount(); ++i) {
            QAccessibleInterface *c = parent->child(i);
            const bool group = c->childCount() > 0 && c->text(QAccessible::Name).isEmpty();
            if (!c->state().invisible && !group && c->role() != QAccessible::Separator)
                out << QStringLiteral("%1 %2").arg(
                    QMetaEnum::fromType<QAccessible::Role>().valueToKey(c->role()),
                    c->text(QAccessible::Name));
            walk(c);
        }
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return out;
}

// Whether the widget looks different with the keyboard's focus, however the focus came.
bool focusShows(QWidget *w)
{
    w->setFocus();
    const bool focused = w->hasFocus();
    const QImage withFocus = w->grab().toImage();
    w->clearFocus();
    const QImage without = w->grab().toImage();
    // A frame, not a tint: the middle keeps its colour.
    const QPoint middle = without.rect().center();
    return focused && withFocus != without && withFocus.pixel(middle) == without.pixel(middle);
}

// Controls of no size, cut off by their window, over one another, or too narrow for their text.
// Each control's place is added to places.
QStringList misplaced(const QWidget *parent, QStringList &places)
{
    QStringList found;
    QList<const QWidget *> placed;
    for (const QWidget *c : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        found << misplaced(c, places);
        if (c->isWindow() || !c->isVisibleTo(parent) || c->objectName().startsWith("qt_") ||
            c->objectName().isEmpty())
            continue; // Qt's own parts, and what holds the controls
        const QRect r = c->geometry();
        QDebug(&places.emplace_back()).nospace() << c->objectName() << ' ' << r;
        if (r.isEmpty() || !parent->rect().contains(r))
            QDebug(&found.emplace_back()).noquote().nospace() << c->objectName() << " at " << r;
        for (const QWidget *other : placed)
            if (const QRect both = r & other->geometry(); !both.isEmpty())
                QDebug(&found.emplace_back()).noquote().nospace()
                    << c->objectName() << " over " << other->objectName() << ' ' << both.size();
        const auto *label = qobject_cast<const QLabel *>(c);
        const auto *button = qobject_cast<const QAbstractButton *>(c);
        const QString text = label && !label->wordWrap() ? label->text()
                             : button                    ? button->text().remove('&')
                                                         : QString();
        if (QFontInfo(c->font()).family() == "DejaVu Sans" &&
            QFontMetrics(c->font()).size(0, text).width() > r.width())
            found << c->objectName() + " cut off";
        placed << c;
    }
    return found;
}

// Whether the lines hash to the fingerprint; if not, they are printed to compare.
bool fingerprinted(const QStringList &lines, const QByteArray &expected)
{
    const QByteArray sum =
        QCryptographicHash::hash(lines.join('\n').toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    if (sum != expected)
        qInfo().noquote() << lines.join('\n') << "\nfingerprint" << sum;
    return sum == expected;
}

QString tabChain(QWidget *window)
{
    QStringList names;
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window))
            names << w->objectName();
    return names.join(' ');
}

} // namespace

class tst_Window : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void grabsFillTheSlotsInTurn()
    {
        FakeDesktop d(plain(colours[0]));
        for (int i = 1; i < 5; ++i)
            d.grab(plain(colours[i]));
        // Return presses the focused button.
        d.screen.screen = plain(colours[5]);
        QTest::keyClick(d.find<QPushButton>("GrabButton"), Qt::Key_Return);
        // The sixth shot replaced the oldest; the rest are in the order they were taken.
        QCOMPARE(thumbnailColours(d), colours.sliced(5) + colours.sliced(1, 4));
        QCOMPARE(centreColour(d.find<PictureBox>("CurrentImage1")), colours[5]);

        // A picked thumbnail is shown; a failed grab says why and changes nothing.
        drag(d.find<PictureBox>("GrabbedPicture2"), {QPoint(20, 20)});
        QCOMPARE(centreColour(d.find<PictureBox>("CurrentImage1")), colours[2]);
        d.grab(QImage());
        d.screen.why.clear(); // no picture and no word why: still a failure, and said
        d.grab(QImage());
        const QString failed(
            "Grab Screen|The screen could not be copied: %1.\r\nNo shot was taken.");
        QCOMPARE(d.messages.shown, QStringList({failed.arg("the test's screen is dark"),
                                                failed.arg("the screen gave no picture")}));
        QVERIFY(d.form->isVisible());
        QCOMPARE(centreColour(d.find<PictureBox>("CurrentImage1")), colours[2]);
        QCOMPARE(thumbnailColours(d), colours.sliced(5) + colours.sliced(1, 4));
    }

    void printing_data()
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

    void printing()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, previewButton);
        QFETCH(bool, printerTakesIt);
        QFETCH(int, pages);
        QFETCH(QStringList, told);
        const QImage shot = pattern(QSize(120, 90));
        FakeDesktop d(shot, arguments);
        d.printer.takesPages = printerTakesIt;
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

    void thePreviewShowsThePrintedSheet_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QRect>("marked"); // on the preview, in pixels; empty: the whole shot
        for (int percent : {25, 50, 100, 176, 200})
            QTest::addRow("%d %%", percent) << percent << QRect();
        QTest::newRow("marked, 100 %") << 100 << QRect(300, 40, 200, 150);
    }

    void thePreviewShowsThePrintedSheet()
    {
        QFETCH(int, percent);
        QFETCH(QRect, marked);
        // 8 x 6 blocks of distinct colours: scaled down, it still shows where each part went.
        QImage shot(1920, 1080, QImage::Format_RGB32);
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const int block = y * 6 / shot.height() * 8 + x * 8 / shot.width();
                shot.setPixel(x, y, qRgb(block * 37 % 256, block * 91 % 256, 255 - block * 5));
            }
        FakeDesktop d(shot);
        if (!marked.isEmpty())
            drag(d.find<PictureBox>("CurrentImage1"), {marked.topLeft(), marked.bottomRight()});
        QImage whole, shown; // at 25 %, where white shows the sheet's edges, and at the percent
        whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
            const auto *box = preview->findChild<PictureBox *>("PreviewPicture1");
            preview->findChild<QScrollBar *>("ZoomFactorBar")->setValue(25);
            whole = box->shown();
            preview->findChild<QScrollBar *>("ZoomFactorBar")->setValue(percent);
            shown = box->shown();
            preview->findChild<QPushButton *>("PrintButton")->click();
        });
        d.trigger("PrintScreenMenuItem");
        QTRY_COMPARE(d.printer.pages.size(), 1);
        const FakePrinter::Page &page = d.printer.pages.first();
        QCOMPARE((page.target.size() * 100 / percent).toSize(), page.picture.size());
        // The printed sheet drawn at the box's scale, in the middle of the box, grey around it.
        const QSizeF sheet = d.printer.printable;
        QRectF paper(QPointF(), sheet.scaled(shown.size(), Qt::KeepAspectRatio));
        paper.moveCenter(QRectF(shown.rect()).center());
        const double scale = paper.width() / sheet.width();
        QImage printed(shown.size(), QImage::Format_RGB32);
        const QRgb grey = qRgb(128, 128, 128);
        printed.fill(grey);
        QPainter painter(&printed);
        painter.fillRect(paper, Qt::white);
        painter.setClipRect(paper);
        const QTransform onBox(scale, 0, 0, scale, paper.x(), paper.y());
        const QRect target = onBox.mapRect(page.target).toRect();
        painter.drawImage(
            target.topLeft(),
            page.picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        painter.end();
        QVERIFY2(differing(shown, printed) < shown.width() * shown.height() / 200,
                 qPrintable(QString::number(differing(shown, printed))));
        // However far the picture is cut, nothing of it spills onto the grey round the sheet.
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                QVERIFY(whole.pixel(x, y) != grey || shown.pixel(x, y) == grey);
    }

    // Every control has a role and a name for a screen reader, and every action a key; the
    // focus shows on our own controls.
    void screenReadersAndKeysReachEveryControl()
    {
        FakeDesktop d(plain(colours[0]));
        d.grab(plain(colours[1]));
        d.grab(plain(colours[2]));
        d.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.form.get()));
        QCOMPARE(readOut(d.form.get()).filter("Button Shot"),
                 QStringList({"Button Shot 1, 64 x 48", "Button Shot 2, 64 x 48",
                              "Button Shot 3, 64 x 48, shown", "Button Shot 4, empty",
                              "Button Shot 5, empty"}));
        auto *preview = d.find<PictureBox>("CurrentImage1");
        QVERIFY(focusShows(preview));
        QTest::keyClick(preview, Qt::Key_Left, Qt::ShiftModifier); // an area that a pick clears
        // Space, Enter and a reader's Press pick a shot as a click does.
        for (const auto &[slot, key, modifier] : {std::tuple{0, Qt::Key_Space, Qt::NoModifier},
                                                  {1, Qt::Key_Return, Qt::NoModifier},
                                                  {4, Qt::Key_Enter, Qt::KeypadModifier},
                                                  {2, Qt::Key_unknown, Qt::NoModifier}}) {
            auto *thumb = d.find<PictureBox>(QStringLiteral("GrabbedPicture%1").arg(slot));
            QVERIFY(focusShows(thumb));
            auto *reader = QAccessible::queryAccessibleInterface(thumb)->actionInterface();
            if (key == Qt::Key_unknown) // a reader's default action: the first it offers
                reader->doAction(reader->actionNames().value(0));
            else
                QTest::keyClick(thumb, key, modifier);
            QCOMPARE(readOut(d.form.get()).filter(", shown"),
                     QStringList{QStringLiteral("Button Shot %1, ").arg(slot + 1) +
                                 (slot < 3 ? "64 x 48, shown" : "empty, shown")});
            if (slot < 3)
                QCOMPARE(centreColour(preview), colours[slot]);
        }
        QCOMPARE(preview->accessibleDescription(), "Entire Screen Shot Selected - W64 x H48");
        d.trigger("SaveToClipboardMenuItem");
        QCOMPARE(d.clipboard.content.size(), QSize(64, 48));

        // The zoom bar: named, labelled, read in percent, its arrows the way of the numbers.
        QStringList zoom; // what is read of the zoom bar's label, then its values
        bool focused = false;
        whenShown<PrintPreviewForm>([&](PrintPreviewForm *form) {
            auto *bar = form->findChild<QScrollBar *>("ZoomFactorBar");
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(bar);
            const auto labels = reader->relations(QAccessible::Label);
            zoom << (labels.isEmpty() ? "" : labels.first().first->text(QAccessible::Name));
            focused = focusShows(bar);
            for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down,
                                      Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageUp}) {
                zoom << reader->text(QAccessible::Value);
                QTest::keyClick(bar, key);
            }
            QWheelEvent up({5, 5}, bar->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(bar, &up); // the wheel turned up raises the zoom too
            zoom << reader->text(QAccessible::Value);
            bar->setSliderDown(true); // a thumb being dragged redraws nothing until it is let go
            bar->setSliderPosition(50);
            zoom << readOut(form).filter("Printed sheet").value(0);
            bar->setSliderDown(false);
            zoom << reader->valueInterface()->currentValue().toString() + " %"; // as a number
            form->reject();
        });
        d.trigger("PrintScreenMenuItem");
        QVERIFY(focused);
        QCOMPARE(zoom, QStringList({"Adjust Zoom to fit Page", "100 %", "110 %", "120 %", "110 %",
                                    "100 %", "90 %", "65 %", "115 %",
                                    "Graphic Printed sheet: 64 x 48 pixels at 115 % on Recording "
                                    "Printer",
                                    "50 %"}));
    }

    void printerSetupChoosesAndTheChoiceShows()
    {
        FakeDesktop d(pattern(QSize(64, 48)));
        QStringList named;
        QList<QRgb> edge; // the preview's left edge, half-way down, before and after
        bool closed = false;
        whenShown<PrintPreviewForm>([&](PrintPreviewForm *preview) {
            const auto *box = preview->findChild<PictureBox *>("PreviewPicture1");
            const QLabel *label = preview->findChild<QLabel *>("PrinterNameLabel");
            edge << box->shown().pixel(0, box->shown().height() / 2);
            preview->findChild<QPushButton *>("PrinterSetupButton")->click();
            edge << box->shown().pixel(0, box->shown().height() / 2);
            named << label->text();
            // Return presses the focused button, not Print Now.
            QTest::keyClick(preview->findChild<QPushButton *>("CancelButton"), Qt::Key_Return);
            closed = !preview->isVisible();
            preview->reject();
        });
        d.trigger("PrintScreenMenuItem");
        QVERIFY(closed);
        QCOMPARE(named, QStringList({"Chosen Printer"}));
        // Letter is narrower than the box, A4 (the chosen printer's paper) fills its width.
        QCOMPARE(edge, QList<QRgb>({qRgb(128, 128, 128), qRgb(255, 255, 255)}));
        QVERIFY(d.printer.pages.isEmpty());
        d.printer.name.clear(); // the File menu's Printer Setup chooses too
        d.trigger("PrinterSetupMenuItem");
        QCOMPARE(d.printer.name, "Chosen Printer");

        if (QSysInfo::productType() == QLatin1String("windows"))
            QSKIP("Windows shows its own print setup dialog, which only a user can answer");
        QPrinter printer;
        whenShown<QPrintDialog>([](QPrintDialog *dialog) {
            dialog->findChild<QSpinBox *>("copies")->setValue(3);
            dialog->accept();
        });
        QVERIFY(showPrintSetupDialog(printer, nullptr));
        QCOMPARE(printer.copyCount(), 1);
    }

    void savedFilesHoldTheShot()
    {
        QTemporaryDir temporary;
        // A folder named outside any one code page.
        QDir dir(temporary.filePath(QStringLiteral("Zoë Снимки")));
        QVERIFY(dir.mkpath(QStringLiteral(".")));
        const QImage shot = pattern(QSize(160, 120));
        FakeDesktop d(shot);
        const auto saveAs = [&d](const QString &file, int type) {
            d.dialogs.answer = {false, file, type};
            d.trigger("SaveToFileMenuItem");
        };
        const QString jpeg = dir.filePath(QStringLiteral("Shot.jpg"));
        saveAs(jpeg, 1);
        // The types offered, in the order and words the dialog lists them.
        QCOMPARE(d.dialogs.filter, "JPEG Picture Format (*.jpg)|*.jpg|Bitmap Picture Format "
                                   "(*.bmp)|*.bmp|PNG Picture Format (*.png)|*.png");
        // Quality 90: the first quantisation table is libjpeg's luminance one scaled to a fifth.
        const QByteArray bytes = contents(jpeg);
        QCOMPARE(bytes.mid(bytes.indexOf("\xff\xdb") + 5, 16),
                 QByteArray("\3\2\2\3\2\2\3\3\3\3\4\3\3\4\5\10")); // 91 differs from the ninth
        const QImage decoded(jpeg);
        QCOMPARE(decoded.size(), shot.size());
        QVERIFY(QFile::permissions(jpeg).testFlags(QFile::ReadOwner | QFile::WriteOwner));

        // The bitmap is exact, and the dialog now starts where the last file went.
        const QString bmp = dir.filePath(QStringLiteral("Shot.bmp"));
        saveAs(bmp, 2);
        QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), shot);
        QCOMPARE(d.dialogs.folders.last(), dir.path() + QLatin1Char('/'));
        // So is PNG, under the type's own extension.
        saveAs(dir.filePath(QStringLiteral("Shot")), 3);
        QCOMPARE(QImage(dir.filePath("Shot.png"), "png").convertToFormat(QImage::Format_RGB32),
                 shot);
        QVERIFY(d.messages.shown.isEmpty());
        QCOMPARE(d.confirmations->shown, QStringList(3, QStringLiteral("Saved to File")));

        // An existing file is replaced only after a yes, also when the name typed was another.
        d.messages.answers = {false};
        d.grab(pattern(QSize(160, 120), 9));
        saveAs(dir.filePath(QStringLiteral("Shot.gif")), 2);
        QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), shot);
        QCOMPARE(d.messages.shown,
                 QStringList{"Warning - File Already Exists|" + QDir::toNativeSeparators(bmp) +
                             "\r\nDo you want to Overwrite it ?"});
        d.messages.answers = {true};
        d.trigger("SaveToFileMenuItem");
        QCOMPARE(QImage(bmp).convertToFormat(QImage::Format_RGB32), d.screen.screen);
        QCOMPARE(d.confirmations->shown.size(), 4);

        // What fails is said and not confirmed: a full disk; a read-only file, before any
        // question; a clipboard that another program holds.
        const QString full = dir.filePath(QStringLiteral("Full.bmp"));
        d.messages.shown.clear();
        for (bool *fault : {&d.files.diskFull, &d.files.outOfMemory}) {
            *fault = true;
            saveAs(full, 2);
            *fault = false;
        }
        QVERIFY(QFile::setPermissions(bmp, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        saveAs(bmp, 2);
        d.clipboard.accept = false;
        d.trigger("SaveToClipboardMenuItem");
        const QString cannot =
            "Warning - Save to File|Cannot save " + QDir::toNativeSeparators(full);
        const QStringList told{
            cannot + ":\r\nNo space left on device", cannot + ":\r\nOut of memory",
            "Warning - Save to File|Cannot replace " + QDir::toNativeSeparators(bmp) +
                ": it is read-only.",
            "Warning - Copy to Clipboard|The picture could not be put on the clipboard: another "
            "program may be holding it. Please try again."};
        QCOMPARE(d.messages.shown, told);
        QCOMPARE(d.confirmations->shown.size(), 4);
        QFile::setPermissions(bmp, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // Qt's own dialog, answered from the keyboard: the type chosen, the name, the Enter.
    void theSaveDialogNamesTheFile_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("told");
        QTest::newRow("a name alone") << "Shot" << 0 << "";
        QTest::newRow("another type") << "Shot" << 2 << "";
        const QString missing = "Cannot replace %1: its folder does not exist.";
        QTest::newRow("no such folder") << "missing/Shot" << 0 << missing;
        QTest::newRow("no such folder, another type") << "missing/Shot" << 2 << missing;
        if (QSysInfo::kernelType() == QLatin1String("linux")) // whose kernel keeps even root out
            QTest::newRow("a folder root may not write in")
                << "/proc/sys/Shot" << 0 << "Cannot replace %1: its folder may not be written to.";
    }
    void theSaveDialogNamesTheFile()
    {
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(QString, told);
        QTemporaryDir dir;
        FakeDesktop d(pattern(QSize(64, 48)));
        d.dialogs.real = true;
        whenShown<QFileDialog>([&](QFileDialog *dialog) {
            for (int i = 0; i < downs; ++i)
                QTest::keyClick(dialog->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down);
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            name->setText(QDir(dir.path()).filePath(typed)); // past the completer's pop-up
            // Checked once the dialog is answered: a failed check leaves no dialog waiting.
            QTest::keyClick(name, Qt::Key_Return);
            QCOMPARE(dialog->findChild<QDialogButtonBox *>()->standardButtons(), // not Open
                     QDialogButtonBox::Save | QDialogButtonBox::Cancel);
            // Over a file the user is asked once, in the program's words, not by Qt as well.
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        });
        d.trigger("SaveToFileMenuItem");
        const QString written = QDir(dir.path()).filePath(typed + (downs ? ".png" : ".jpg"));
        QCOMPARE(d.messages.shown.join(""),
                 told.isEmpty()
                     ? told
                     : "Warning - Save to File|" + told.arg(QDir::toNativeSeparators(written)));
        QCOMPARE(QImage(written).size(), told.isEmpty() ? QSize(64, 48) : QSize(0, 0));
    }

    // A box's border as drawn: a grey line, a bevel (darkened where it is one pixel), or none;
    // read on a 20 x 16 box's edges and one pixel in.
    void pictureBoxBorders_data()
    {
        QTest::addColumn<PictureBox::Look>("look");
        QTest::addColumn<int>("border");
        QTest::addColumn<QList<QRgb>>("seen"); // (0,0), (0,15), (10,15), (19,8), (1,1), (18,8)
        const QRgb grey = 0xff808080, white = 0xffffffff, red = 0xffff0000;
        const QRgb window = QApplication::palette().color(QPalette::Window).rgb();
        using L = PictureBox::Look;
        QTest::newRow("flat") << L::Flat << 2
                              << QList<QRgb>{grey, grey, grey, grey, window, window};
        QTest::newRow("sunken, one pixel")
            << L::Sunken << 1 << QList<QRgb>{0xff202020, 0xff202020, white, white, red, red};
        QTest::newRow("sunken, two pixels")
            << L::Sunken << 2 << QList<QRgb>{grey, white, white, white, 0xff404040, 0xffd4d0c8};
        QTest::newRow("none") << L::None << 1
                              << QList<QRgb>{window, window, window, window, red, red};
    }
    void pictureBoxBorders()
    {
        QFETCH(PictureBox::Look, look);
        QFETCH(int, border);
        PictureBox box(15, 15);
        box.setBorder(border);
        box.setLook(look);
        box.surface().setBackColor(Qt::red);
        box.place(QRect(0, 0, 20, 16));
        box.refresh();
        const QImage shown = box.grab().toImage();
        QList<QRgb> read;
        for (const QPoint p : {QPoint(0, 0), QPoint(0, 15), QPoint(10, 15), QPoint(19, 8),
                               QPoint(1, 1), QPoint(18, 8)})
            read << shown.pixel(p);
        QTEST(read, "seen");
        QCOMPARE(shown.copy(border, border, 20 - 2 * border, 16 - 2 * border), box.shown());
    }

    void aReplacedFileIsNeverLost()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Screen.bmp"));
        QVERIFY(write(target, "the old picture"));
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup));
        const QFileDevice::Permissions before = QFile::permissions(target);
        QtFiles files;
        auto writeNew = [](bool succeed) {
            return [succeed](const QString &temporary) {
                return write(temporary, "half a pict") && succeed ? Result<>() : Failure{"full"};
            };
        };
        QCOMPARE(files.replaceSafely(target, writeNew(false)).reason(), "full");
        QCOMPARE(contents(target), QByteArray("the old picture"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Screen.bmp"});

        QVERIFY(files.replaceSafely(target, writeNew(true)));
        QCOMPARE(contents(target), QByteArray("half a pict"));
        QCOMPARE(QFile::permissions(target), before);
    }

    void aCropIsExactlyWhatTheLabelSays_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QString>("keys"); // on the preview: before|during|after the drag
        QTest::addColumn<QRect>("area");   // of the shot; an empty one: at least its corner
        auto row = [](const char *name, QPoint from, QPoint to, const char *keys, QRect area) {
            QTest::newRow(name) << from << to << QString::fromLatin1(keys) << area;
        };
        row("down and right", {10, 20}, {110, 70}, "||", {33, 52, 0, 0});
        row("up and left, off the grid", {241, 199}, {105, 94}, "||", {356, 245, 0, 0});
        row("past the far corner", {400, 300}, {700, 600}, "||", {1359, 784, 0, 0});
        row("from the last row to the near corner", {37, 412}, {-20, -20}, "||", {0, 0, 0, 0});
        row("keys after a drag", {10, 20}, {110, 70}, "||Ctrl+Left,Shift+Down", {23, 52, 339, 131});
        row("keys, then a drag", {10, 20}, {110, 70}, "Shift+Left||", {33, 52, 339, 130});
        row("keys during a drag", {10, 20}, {110, 70}, "|Right|", {33, 52, 339, 130});
        row("Escape, back to the whole", {10, 20}, {110, 70}, "||Down,Escape", {0, 0, 1920, 1080});
    }

    void aCropIsExactlyWhatTheLabelSays()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QString, keys);
        QFETCH(QRect, area);
        // Every pixel says where it is, so a picture shows which part of the shot it came from.
        QImage shot(1920, 1080, QImage::Format_RGB32);
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                shot.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) | ((y >> 8) << 4)));
        FakeDesktop d(shot);
        auto *preview = d.find<PictureBox>("CurrentImage1");
        QCOMPARE(preview->cursor().shape(), Qt::CrossCursor); // the pointer to mark an area with
        const QPoint border(2, 2);
        const QStringList parts = keys.split(QLatin1Char('|')); // before, during, after the drag
        QTest::keySequence(preview, QKeySequence(parts[0]));    // at most four keys a part
        if (from != to) {
            QTest::mousePress(preview, Qt::LeftButton, {}, border + from);
            QTest::mouseMove(preview, border + (from + to) / 2);
            QTest::keySequence(preview, QKeySequence(parts[1]));
            QTest::mouseMove(preview, border + to);
            QTest::mouseRelease(preview, Qt::LeftButton, {}, border + to);
        }
        QTest::keySequence(preview, QKeySequence(parts[2]));
        const QString label = d.find<QLabel>("CurrentImageLabel")->text();
        // A screen reader hears the label as the preview's description.
        QCOMPARE(preview->accessibleDescription(), label);
        d.trigger("SaveToClipboardMenuItem");
        QCOMPARE(d.confirmations->shown, QStringList{QStringLiteral("Copied to Clipboard")});
        const QImage copied = d.clipboard.content.convertToFormat(QImage::Format_RGB32);
        const bool whole = keys.endsWith(QLatin1String("Escape"));
        const QString size = QStringLiteral("W%1 x H%2").arg(copied.width()).arg(copied.height());
        QCOMPARE(label, (whole ? "Entire Screen Shot Selected - " : "Crop Window Set = ") + size);
        if (!area.isEmpty())
            QCOMPARE(copied.size(), area.size());
        QCOMPARE(copied, shot.copy(QRect(area.topLeft(), copied.size())));

        // The outline runs along the marked rectangle (a pixel either way after keys), blinks.
        const QSize box = preview->shown().size();
        const QTransform onBox = QTransform::fromScale(box.width() / 1920.0, box.height() / 1080.0);
        const QRect marked = parts[2].isEmpty() ? QRect(from, QSize(1, 1)) | QRect(to, QSize(1, 1))
                                                : onBox.mapRect(QRectF(area)).toRect();
        const QRect dragged = marked & QRect(QPoint(0, 0), box);
        int inverted = 0; // in a band two pixels thick
        const QRect drawn = outline(*preview, &inverted), inside = drawn.adjusted(2, 2, -2, -2);
        QCOMPARE(inverted, drawn.width() * drawn.height() -
                               inside.isValid() * inside.width() * inside.height());
        for (const int off : {drawn.left() - dragged.left(), drawn.top() - dragged.top(),
                              drawn.right() - dragged.right(), drawn.bottom() - dragged.bottom()})
            QVERIFY2(whole ? drawn.isEmpty() : qAbs(off) <= (keys == "||" ? 0 : 1),
                     qPrintable(QDebug::toString(drawn)));
        QTRY_VERIFY_WITH_TIMEOUT(outline(*preview).isEmpty(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(outline(*preview) == drawn, 1000);
    }

    void nothingMarkedIsNothingSent_data()
    {
        QTest::addColumn<QPoint>("dragTo"); // from (50, 50) on the preview, after a click on slot 3
        QTest::addColumn<QStringList>("told");
        const QString empty = QStringLiteral("\r\nThe selected Screen Shot is Empty.");
        QTest::newRow("an empty slot")
            << QPoint(50, 50)
            << QStringList{"Print Now|Cannot be Printed." + empty,
                           "Warning - Save to File|Cannot be Saved." + empty,
                           "Warning - Copy to Clipboard|Cannot be Copied." + empty};
        const QString none = QStringLiteral("The selected area has no width or no height: there is "
                                            "nothing to %1.");
        QTest::newRow("a line, no area")
            << QPoint(50, 90)
            << QStringList{"Print Now|" + none.arg("print"),
                           "Warning - Save to File|" + none.arg("save"),
                           "Warning - Copy to Clipboard|" + none.arg("copy")};
    }

    void nothingMarkedIsNothingSent()
    {
        QFETCH(QPoint, dragTo);
        FakeDesktop d(pattern(QSize(640, 480)));
        if (dragTo == QPoint(50, 50))
            drag(d.find<PictureBox>("GrabbedPicture3"), {QPoint(20, 20)});
        drag(d.find<PictureBox>("CurrentImage1"), {QPoint(50, 50), dragTo});
        if (dragTo == QPoint(50, 50)) {
            QTest::keyClick(d.find<PictureBox>("CurrentImage1"), Qt::Key_Left); // nothing to mark
            QCOMPARE(d.find<QLabel>("CurrentImageLabel")->text(), "Screen Shot - Empty");
        }
        // A window that should not open is closed again, so that the test fails, not waits.
        QTimer::singleShot(1000, d.form.get(), [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        for (const char *command :
             {"PrintScreenMenuItem", "SaveToFileMenuItem", "SaveToClipboardMenuItem"})
            d.trigger(command);
        QTEST(d.messages.shown, "told");
        QVERIFY(d.printer.pages.isEmpty() && d.dialogs.folders.isEmpty() &&
                d.clipboard.content.isNull());
    }

    void helpReachesTheWebAndSystemInformation_data()
    {
        QTest::addColumn<QString>("tool"); // where the registry says it is; empty: nowhere
        QTest::addColumn<bool>("standardUser");
        const QString tool = QStringLiteral("C:\\Windows\\System32\\msinfo32.exe");
        QTest::newRow("administrator") << tool << false;
        QTest::newRow("standard user") << tool << true;
        QTest::newRow("no tool") << QString() << false;
    }

    void helpReachesTheWebAndSystemInformation()
    {
        QFETCH(QString, tool);
        QFETCH(bool, standardUser);
        FakeDesktop d(pattern(QSize(64, 48)));
        d.registry.toolPath = tool; // read when the About box opens
        d.registry.standardUser = standardUser;
        d.trigger("VisitMoonferryMenuItem");
        bool stayed = false;
        whenShown<AboutForm>([&](AboutForm *about) {
            // A click on the notice visits the web address too.
            QTest::mouseClick(about->findChild<QLabel *>("lblDisclaimer"), Qt::LeftButton);
            d.screen.screen = QImage(); // a grab would say so: none starts while a dialog is open
            d.trigger("GrabScreenMenuItem");
            // Return presses the focused button, not OK, and the box stays.
            QTest::keyClick(about->findChild<QPushButton *>("cmdSysInfo"), Qt::Key_Return);
            stayed = about->isVisible();
            about->accept();
        });
        d.trigger("AboutMenuItem");
        QVERIFY(stayed);
        QCOMPARE(d.shell.opened, QStringList(2, "http://www.moonferry.example/"));
        QCOMPARE(d.processes.started, tool.isEmpty() ? QStringList() : QStringList{tool});
        const QStringList unavailable{"|System Information Is Unavailable At This Time"};
        QCOMPARE(d.messages.shown, tool.isEmpty() ? unavailable : QStringList());
    }

    // Everything the user reads: captions, menus and their keys, help, the About box, the
    // preview. A changed word changes the fingerprint; a failure lists every text to compare.
    void everyTextReadsAsWritten()
    {
        FakeDesktop d(pattern(QSize(64, 48)));
        QStringList texts = readOut(d.form.get()) << d.form->windowTitle();
        for (const QAction *action : d.form->findChildren<QAction *>())
            texts << action->text() + ' ' + action->shortcut().toString();
        const auto read = [&texts](QWidget *window) {
            texts << window->windowTitle() << readOut(window);
            window->close();
        };
        whenShown<PrintPreviewForm>(read);
        d.trigger("PrintScreenMenuItem");
        whenShown<AboutForm>(read);
        d.trigger("AboutMenuItem");
        d.trigger("TipsMenuItem");
        d.trigger("AutoDumpMenuItem");
        texts << d.messages.shown << d.form->windowTitle();
        QVERIFY(fingerprinted(texts, "09b8fd9f85949153"));
    }

    // No control or text is cut off or hidden under another, in every window, but as designed:
    // the headings reach into the pictures' borders; the pop-up's lettering lies over its own
    // shadow, and both run past the pop-up's edges. Texts are measured in DejaVu Sans standing
    // in for the design's fonts (Wine has none to measure). Tab goes in the design's order.
    void everyControlHasItsPlace()
    {
        const QStringList families{"MS Sans Serif", "Arial"}, kept = QFont::substitutes("Arial");
        auto standIn = [&](const QStringList &fonts) {
            for (const QString &family : families) {
                QFont::removeSubstitutions(family);
                QFont::insertSubstitutions(family, fonts);
            }
        };
        standIn({"DejaVu Sans"});
        FakeDesktop d(pattern(QSize(64, 48)));
        QStringList places, found = misplaced(d.form.get(), places), tabs{tabChain(d.form.get())};
        whenShown<PrintPreviewForm>([&](PrintPreviewForm *form) {
            tabs << tabChain(form);
            found << misplaced(form, places);
            form->reject();
        });
        d.trigger("PrintScreenMenuItem");
        whenShown<AboutForm>([&](AboutForm *about) {
            tabs << tabChain(about);
            found << misplaced(about, places);
            about->reject();
        });
        d.trigger("AboutMenuItem");
        found << misplaced(std::make_unique<ConfirmForm>(nullptr, 15, 15).get(), places);
        QCOMPARE(found, QStringList({"CurrentImage1 over CurrentImageLabel QSize(313, 4)",
                                     "Label2 over PreviewPicture1 QSize(161, 2)",
                                     "Label1 at QRect(0,8 249x41)", "Label2 at QRect(-2,6 249x41)",
                                     "Label2 over Label1 QSize(247, 39)"}));
        QVERIFY(fingerprinted(places, "19a7a01395228b11")); // every control as designed
        // The etched lines along the top and beside the thumbnails.
        const QImage etched = d.form->centralWidget()->grab().toImage();
        QCOMPARE(QList<QRgb>({etched.pixel(300, 0), etched.pixel(300, 1), etched.pixel(598, 99),
                              etched.pixel(600, 99)}),
                 QList<QRgb>({0xff000000, 0xffc0c0c0, 0xff000000, 0xffc0c0c0}));
        standIn(kept);
        QCOMPARE(tabs, QStringList({"CurrentImage1 GrabbedPicture1 GrabbedPicture2 GrabbedPicture3 "
                                    "GrabbedPicture4 GrabbedPicture0 GrabButton PrintButton "
                                    "AutoDumpButton",
                                    "ZoomFactorBar PrintButton CancelButton PrinterSetupButton",
                                    "cmdOK cmdSysInfo"}));
    }

    // The real pop-ups: each says what was done, and stays two seconds unless it is clicked.
    void popUpsSayWhatWasDone()
    {
        QWidget owner;
        QtEventPump events;
        FixedMetrics metrics;
        ConfirmPopups popups(owner, events, metrics);
        const std::tuple<void (IConfirmations::*)(), QString, QRgb> kinds[] = {
            {&IConfirmations::confirmSave, "Saved to File", 0xffffff00},
            {&IConfirmations::confirmCopy, "Copied to Clipboard", 0xffffffff},
            {&IConfirmations::confirmPrint, "Printing Now", 0xffa0a0ff}};
        for (const auto &[confirm, text, colour] : kinds) {
            const bool waited = text == std::get<1>(kinds[0]);
            QString said;
            whenShown<ConfirmForm>([&](ConfirmForm *form) {
                said = form->findChild<QLabel *>("Label2")->text();
                const QFont lettering = form->findChild<QLabel *>("Label2")->font();
                QVERIFY(lettering.bold() && lettering.family() == "Arial"); // or its stand-in
                // The lettering in its colour over its black shadow.
                const QImage shown = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
                const auto *pixels = reinterpret_cast<const QRgb *>(shown.constBits());
                for (const QRgb ink : {colour, 0xff000000u})
                    QVERIFY(std::count(pixels, pixels + shown.width() * shown.height(), ink) > 99);
                // Read once: the lettering's shadow is not read again.
                QCOMPARE(readOut(form), QStringList{"StaticText " + text});
                if (!waited)
                    QTest::mouseClick(form->findChild<QLabel *>("Label2"), Qt::LeftButton);
            });
            QElapsedTimer clock;
            clock.start();
            (popups.*confirm)();
            QCOMPARE(said, text);
            // Qt's timers may fire up to 5 % early.
            QVERIFY2(waited ? clock.elapsed() >= 1900 && clock.elapsed() < 3000
                            : clock.elapsed() < 1000,
                     qPrintable(QString::number(clock.elapsed())));
        }
    }

    void autoDumpLeavesTheWindowAsTheUserWants()
    {
        FakeDesktop d(pattern(QSize(64, 48)), QStringLiteral("/A"));
        GlimmerboxForm &form = *d.form;
        // Minimised on the task bar, it is read by its caption; its thumbnails have names.
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->text(QAccessible::Name),
                 QStringLiteral("Click to Print Screen"));
        QCOMPARE(readOut(&form).filter(", empty").size(), 5);
        QCOMPARE(form.windowIcon().availableSizes().size(), 7); // each size a desktop asks for
        // Before any shot, only the thumbnail picked looks pressed.
        drag(d.find<PictureBox>("GrabbedPicture2"), {QPoint(20, 20)});
        for (int slot = 0; slot < 5; ++slot)
            QCOMPARE(d.find<PictureBox>(QStringLiteral("GrabbedPicture%1").arg(slot))->look(),
                     slot == 2 ? PictureBox::Look::Sunken : PictureBox::Look::Flat);
        // Maximised while a page is being made: the normal window, with its normal caption.
        QString making; // the caption while the page is made
        d.screen.whileGrabbing = [&form, &making] {
            making = form.windowTitle();
            form.setWindowState(Qt::WindowMaximized);
            QApplication::processEvents(); // as the pause before the grab lets it arrive
        };
        form.setWindowState(Qt::WindowNoState);
        QTRY_COMPARE(d.printer.pages.size(), 1);
        QCOMPARE(making + " / " + form.windowTitle(), "Printing Screen Now / Glimmerbox");
    }

    void thePauseBeforeAGrabLetsEventsRunWithoutBusyWaiting()
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
};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
