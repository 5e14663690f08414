// The arithmetic every output depends on, as plain values in and out.

#include "Fakes.h"
#include "app/AutoDumpStates.h"
#include "app/CommandLine.h"
#include "app/PrintQueue.h"
#include "capture/CropSelection.h"
#include "capture/ShotStore.h"
#include "dialogs/SystemInfo.h"
#include "imaging/FileNames.h"
#include "platform/HandOver.h"
#include "platform/Printer.h"
#include "platform/Registry.h"
#include "platform/ScreenGrabber.h"
#include "printing/PdfSheet.h"
#include "printing/PrintCommand.h"
#include "printing/SheetLayout.h"

#include <QtTest>

#include <future>

// The preview's drawing area: 565 x 413 pixels inside its border, at 15 twips per pixel.
const QSizeF Preview(8475, 6195);

class tst_Core : public QObject
{
    Q_OBJECT

private slots:
    // Steps: dX,Y press, mX,Y drag, u release, r right click, hX,Y hover, s new shot, kKEYS;
    // oX1,Y1,X2,Y2 checks the outline drawn last ("o-": none).
    void cropSaysWhatItMarks_data()
    {
        QTest::addColumn<QSize>("shot"); // empty: an empty slot's 1130 x 826 placeholder
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("caption"); // the last label or tooltip said
        QTest::addColumn<QRect>("area");
        const auto row = [](const char *name, QSize shot, const char *steps, QString caption,
                            QRect area) {
            QTest::newRow(name) << shot << steps << caption << area;
        };
        const QSize twice(1130, 826), empty;
        const QString set("Crop Window Set = W%1 x H%2"), whole("Entire Screen Shot Selected - ");
        row("dragging", twice, "d150,150 m1650,900", "Selecting Window = W200 x H100",
            {20, 20, 200, 100});
        row("dragged up and left", twice, "d1650,900 m150,150 u h1650,900",
            "Right Click - to Clear Selection", {20, 20, 200, 100});
        row("hovering on the edge", twice, "d150,150 m1650,900 u h150,150",
            "Right Click - to Clear Selection", {20, 20, 200, 100});
        row("a new shot", twice, "d150,150 m1650,900 u s", set.arg(200).arg(100),
            {0, 0, 1130, 826});
        // 150 twips at 4/15 pixel per twip is 40 in single precision, not 39.
        row("single precision", {2260, 1652}, "d0,0 m150,150 u", set.arg(40).arg(40),
            {0, 0, 40, 40});
        row("beyond the preview", twice, "d7990,5990 m9000,7000 u", set.arg(64).arg(27),
            {1065, 798, 64, 27});
        row("a right click", twice, "d150,150 m1650,900 u d300,4 o300,4,300,4 r",
            whole + "W1130 x H826", {0, 0, 1130, 826});
        row("keys from the whole shot", twice, "kShift+Left kCtrl+Shift+Up kCtrl+Right",
            set.arg(1129).arg(816), {1, 0, 1129, 816});
        row("keys from a drag", twice, "d150,150 m1650,900 u kCtrl+Down kShift+Right",
            set.arg(201).arg(100), {20, 30, 201, 100});
        row("keys down to a pixel", twice,
            "d150,150 m165,165 u kShift+Left kShift+Up kShift+Up o150,150,157.5,157.5",
            set.arg(1).arg(1), {20, 20, 1, 1});
        row("an empty slot", empty, "d150,150 m1650,900 r kShift+Left", "Screen Shot - Empty",
            {0, 0, 1130, 826});
    }

    void cropSaysWhatItMarks()
    {
        QFETCH(QSize, shot);
        QFETCH(QString, steps);
        CropSelection crop({Preview, 15, 15});
        QString said;
        connect(&crop, &CropSelection::captionChanged, [&said](const QString &t) { said = t; });
        connect(&crop, &CropSelection::toolTipChanged, [&said](const QString &t) { said = t; });
        QString outline;
        connect(&crop, &CropSelection::outlineChanged, [&outline](QPointF a, QPointF b, bool on) {
            outline = on ? QString("%1,%2,%3,%4").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y()) : "-";
        });
        for (const QString &step : ("s " + steps).split(' ')) {
            if (step[0] == 'o') {
                QCOMPARE(outline, step.mid(1));
                continue;
            }
            const float x = step.mid(1).section(',', 0, 0).toFloat();
            const float y = step.section(',', 1).toFloat();
            const QKeyCombination key = QKeySequence(step.mid(1))[0];
            step[0] == 's' ? crop.setShot(shot.isEmpty() ? QSize(1130, 826) : shot, !shot.isEmpty())
            : step[0] == 'h' ? crop.move(0, x, y)
            : step[0] == 'd' ? crop.press(1, x, y)
            : step[0] == 'm' ? crop.move(1, x, y)
            : step[0] == 'k' ? crop.key(key.key(), key.keyboardModifiers())
                             : crop.release(step[0] == 'u' ? 1 : 2);
        }
        QTEST(said, "caption");
        QTEST(crop.shotArea(), "area");
    }

    // Steps: "g" a grab (the Nth is N x 10 pixels wide), "x" one that failed, "pN" a pick of
    // slot N, "r" a reset. The slots after: each shot's width or "-", "*" on the current one.
    void shotsFillTheSlotsInTurn_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("held");
        QTest::addColumn<int>("next");
        const auto row = [](const char *name, const char *steps, const char *held, int next) {
            QTest::newRow(name) << QString(steps) << QString(held) << next;
        };
        row("one", "g", "10* - - - -", 2);
        row("six: the first replaced", "g g g g g g", "60* 20 30 40 50", 2);
        row("a pick is replaced", "g g g p1 g", "40* 20 30 - -", 2);
        row("an empty slot picked", "g p4", "10 - - -* -", 4);
        row("after a failed grab", "g g p2 x", "10 20* - - -", 2);
        row("a reset", "g g r", "- - - - -", 1);
    }

    void shotsFillTheSlotsInTurn()
    {
        QFETCH(QString, steps);
        ShotStore store(QImage(7, 7, QImage::Format_RGB32));
        int grabs = 0;
        for (const QString &step : steps.split(' ')) {
            const int slot = step.mid(1).toInt() - 1;
            if (step == "g" || step == "x")
                store.store(store.nextSlot(),
                            step == "x" ? QImage() : QImage(++grabs * 10, 5, QImage::Format_RGB32));
            step == "r" ? store.reset() : step[0] == 'p' ? store.pick(slot) : void();
        }
        QStringList got;
        for (int i = 0; i < ShotStore::SlotCount; ++i) {
            const QSize size = store.picture(i).size();
            got << (store.isFilled(i) ? QString::number(size.width()) : "-") +
                       (i == store.current() ? "*" : "");
        }
        QTEST(got.join(" "), "held");
        QTEST(store.nextSlot() + 1, "next");
        QCOMPARE(store.caption().right(5), store.currentIsFilled() ? " x H5" : "Empty");
    }

    void cropAreaIsInTheShotAtTheLabelsSize()
    {
        for (const QSize shot : {QSize(1024, 768), QSize(1920, 1080), QSize(3840, 2160)}) {
            const CropScale scale = Crop::scale(QSizeF(shot) * 15, Preview, 15, 15);
            QList<QPointF> grid;
            for (const double x :
                 {-40.0, 0.0, 7.5, 14.9, 1001.7, 4237.5, 6000.3, 8460.0, 8475.0, 9000.0})
                for (const double y :
                     {-40.0, 0.0, 7.5, 29.2, 3097.5, 5001.1, 6180.0, 6195.0, 7000.0})
                    grid.append(Crop::clampToPreview(QPointF(x, y), Preview));
            // Every pair of points, so every direction of drag and every edge.
            for (const QPointF &a : grid)
                for (const QPointF &b : grid) {
                    const CropEdges drag{float(a.x()), float(b.x()), float(a.y()), float(b.y())};
                    if (drag.isNone())
                        continue;
                    const QRect area = Crop::shotArea(drag, shot, scale);
                    const QSize label = Crop::labelSize(drag, scale);
                    QCOMPARE(area.size(), label);
                    QVERIFY(area.isEmpty() || QRect(QPoint(0, 0), shot).contains(area));
                }
            QCOMPARE(Crop::shotArea({}, shot, scale), QRect(QPoint(0, 0), shot));
        }
    }

    void everyRequestGetsItsOwnPage_data()
    {
        QTest::addColumn<QStringList>("requests"); // "now" is Print Now; "NAME@grab" comes
        QTest::addColumn<QStringList>("failing");  // during the first grab; failing steps
        QTest::addColumn<QStringList>("answers");  // in order, "name: why"
        const auto row = [](const char *name, QStringList requests, QStringList failing,
                            QStringList answers) {
            QTest::newRow(name) << requests << failing << answers;
        };
        row("during a grab's pause", {"key", "cmd@grab"}, {}, {"key: ", "cmd: "});
        row("during a job", {"key", "cmd@print"}, {}, {"key: ", "cmd: "});
        row("two keys in a row", {"key", "again"}, {}, {"key: ", "again: "});
        row("a job fails, then the next", {"key", "cmd"}, {"print 1"}, {"key: paper", "cmd: "});
        row("a grab fails, then the next", {"key", "cmd"}, {"grab 1"}, {"key: dark", "cmd: "});
        row("a requester gone", {"gone", "key"}, {}, {"key: "});
        row("a requester gone while waiting", {"key", "gone@grab"}, {}, {"key: "});
        row("Print Now, then a key", {"now", "key"}, {}, {"now: ", "key: "});
        row("a dialog open", {"key"}, {"dialog"}, {"key: a dialog is open"});
    }

    void everyRequestGetsItsOwnPage()
    {
        QFETCH(QStringList, requests);
        QFETCH(QStringList, failing);
        QStringList log, said;
        int grabs = 0, prints = 0;
        std::unique_ptr<PrintQueue> queue;
        auto submit = [&](const QString &name) {
            queue->submit({name == "now" ? PrintQueue::Kind::PrintNow : PrintQueue::Kind::Screen,
                           true, [name] { return name != "gone"; },
                           [&said, name](const Result<> &outcome) {
                               said << name + ": " + outcome.reason();
                           }});
        };
        // A step ends later, from the event loop, as a grab's pause and a printer's job do.
        auto step = [&](const QString &what, int n, PrintQueue::Done done) {
            log << what + "+";
            for (const QString &late : requests.filter("@" + what))
                if (n == 1)
                    submit(late.section('@', 0, 0));
            const bool fails = failing.contains(QStringLiteral("%1 %2").arg(what).arg(n));
            QTimer::singleShot(
                0, [&log, what, done, why = fails ? what == "grab" ? "dark" : "paper" : ""] {
                    log << what + "-";
                    done(*why ? Result<>(Failure{why}) : Result<>());
                });
        };
        queue = std::make_unique<PrintQueue>(PrintQueue::Steps{
            [&] { return failing.contains("dialog") ? Failure{"a dialog is open"} : Result<>(); },
            [&](const auto &, auto done) { step("grab", ++grabs, done); },
            [&](const auto &, auto done) {
                step("print", ++prints, done);
            }});
        for (const QString &name : requests)
            if (!name.contains('@'))
                submit(name);
        QTRY_VERIFY(queue->idle());
        QTEST(said, "answers");
        // One step at a time: never a grab inside a grab, nor inside a job.
        for (qsizetype i = 0; i + 1 < log.size(); i += 2)
            QCOMPARE(log[i + 1], log[i].chopped(1) + "-");
    }

    // A job that outlasts its pop-up, as a big page's does: Printer Setup opens only once it has
    // ended, so that a refused page is said first, with the printer that refused it.
    void printerSetupWaitsForTheJob()
    {
        QWidget owner;
        FakePrinter printer;
        printer.takesPages = false;
        FakeMessageBox messages;
        PrintCommand command(owner, printer, messages, 15, 15);
        const QImage shot = pattern(QSize(64, 48));
        QVERIFY(command.print(shot, shot.rect(), PrintCommand::Route::AtOnce, [] {}));
        command.setUp();
        const QStringList said = messages.shown; // by the time the dialog opened
        command.waitUntilDone(); // a failure must not leave the job a printer that has gone
        QCOMPARE(said, QStringList{"Print Now|Nothing was printed: the printer "
                                   "\"Recording Printer\" did not take the page."});
    }

    void theAreaOnTheSheet_data()
    {
        QTest::addColumn<QSizeF>("sheet"); // the printable area of a landscape sheet, in 1/96 inch
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("percent"); // 0: a one-click print
        QTest::addColumn<QRect>("source");
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<int>("lowest");
        const auto row = [](const char *name, QSizeF sheet, QRect area, int percent, QRect source,
                            QRectF target, int lowest = 25) {
            QTest::newRow(name) << sheet << area << percent << source << target << lowest;
        };
        const QSizeF a4(297 / 25.4 * 96, 210 / 25.4 * 96), letter(1056, 816);
        const QRect xga(0, 0, 1024, 768), hd(0, 0, 1920, 1080), uhd(0, 0, 3840, 2160);
        const QRect marked(600, 300, 301, 201);
        row("1024x768 100 % Letter", letter, xga, 100, xga, {16, 24, 1024, 768});
        row("1024x768 one click A4", a4, xga, 0, xga, {49.2598, 12.8504, 1024, 768});
        row("1920x1080 50 % A4", a4, hd, 50, hd, {81.2598, 126.8504, 960, 540});
        row("1920x1080 100 % Letter: the middle", letter, hd, 100, {432, 132, 1056, 816},
            {0, 0, 1056, 816});
        row("1920x1080 100 % A4: part-pixels kept", a4, hd, 100, {398, 143, 1124, 794},
            {-0.7402, -0.1496, 1124, 794});
        row("1920x1080 one click A4", a4, hd, 0, hd, {0, 81.1417, 1122.5197, 631.4173});
        row("3840x2160 25 % A4", a4, uhd, 25, uhd, {81.2598, 126.8504, 960, 540});
        row("3840x2160 200 % Letter", letter, uhd, 200, {1656, 876, 528, 408}, {0, 0, 1056, 816});
        row("3840x2160 one click Letter", letter, uhd, 0, uhd, {0, 111, 1056, 594});
        row("7680x4320 one click A4: below 25 %", a4, {0, 0, 7680, 4320}, 0, {0, 0, 7680, 4320},
            {0, 81.1417, 1122.5197, 631.4173}, 14);
        row("marked 100 % A4", a4, marked, 100, marked, {410.7598, 296.3504, 301, 201});
        row("marked 200 % Letter", letter, marked, 200, marked, {227, 207, 602, 402});
    }

    void theAreaOnTheSheet()
    {
        QFETCH(QSizeF, sheet);
        QFETCH(QRect, area);
        QFETCH(int, percent);
        QFETCH(QRectF, target);
        const double zoom = percent ? percent / 100.0 : wholeAreaZoom(sheet, area.size());
        const SheetPlacement place = placeOnSheet(sheet, area, zoom);
        QTEST(place.source, "source");
        const QRectF &got = place.target;
        for (const double off : {got.left() - target.left(), got.top() - target.top(),
                                 got.right() - target.right(), got.bottom() - target.bottom()})
            QVERIFY2(std::abs(off) < 1e-4, qPrintable(QDebug::toString(got)));
        QTEST(lowestZoomPercent(sheet, area.size()), "lowest");
    }

    // A driverless printer's Letter margins (top 1 mm, bottom 11.7 mm) on landscape sheets.
    void marginsTurnWithThePaper()
    {
        const QMarginsF portrait(18, 2.89, 18, 33.11);
        QCOMPARE(turnedToLandscape(portrait, false), QMarginsF(2.89, 18, 33.11, 18));
        QCOMPARE(turnedToLandscape(portrait, true), QMarginsF(33.11, 18, 2.89, 18));
    }

    // The sheet the spooler gets: A4 in points; the picture at the target, cut at the printable
    // area; its pixels exact whether deflated (black) or stored (noise), in under two thirds of
    // their size, its length as said; objects where the table says, it where the trailer says.
    void theSheetForTheSpooler()
    {
        const QImage picture = pattern(QSize(1500, 300), 3).copy(0, -300, 1500, 900);
        struct : IByteSink
        {
            bool write(QByteArrayView bytes) override
            {
                pdf += bytes;
                return true;
            }
            QByteArray pdf;
        } sink;
        QVERIFY(writePdfSheet({{842, 595}, {0, 0, 842, 300}, {71, 72, 700, 420}}, picture, sink));
        const QByteArray &pdf = sink.pdf;
        QVERIFY(pdf.size() < 1500 * 900 * 3 * 2 / 3);
        // Every byte but the pixels' and the offsets', as a strict reader takes them.
        QVERIFY(pdf.startsWith(
            "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
            "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n3 0 obj\n<< /Type /Page "
            "/Parent 2 0 R /MediaBox [0 0 842.0000 595.0000] /Resources << /XObject << /Im 4 0 R "
            ">> >> /Contents 5 0 R >>\nendobj\n5 0 obj\n<< /Length 94 >>\nstream\nq 0.0000 "
            "295.0000 842.0000 300.0000 re W n 700.0000 0 0 420.0000 71.0000 103.0000 cm /Im Do "
            "Q\nendstream\nendobj\n4 0 obj\n<< /Type /XObject /Subtype /Image /Width 1500 "
            "/Height 900 /ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false /Filter "
            "/FlateDecode /Length 6 0 R >>\nstream\n"));
        QVERIFY(pdf.contains("\ntrailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n"));
        const qsizetype from = pdf.indexOf("stream\n", pdf.indexOf("/Image")) + 7;
        const qsizetype length = pdf.indexOf("\nendstream", from) - from;
        QVERIFY(pdf.contains("\n6 0 obj\n" + QByteArray::number(length) + "\nendobj"));
        QByteArray rgb(4, 0); // qUncompress's size header
        qToBigEndian(quint32(1500 * 900 * 3), rgb.data());
        const QImage sent = picture.convertToFormat(QImage::Format_RGB888);
        QCOMPARE(qUncompress(rgb + pdf.mid(from, length)),
                 QByteArray(reinterpret_cast<const char *>(sent.constBits()), sent.sizeInBytes()));
        const qsizetype xref = pdf.lastIndexOf("\nxref\n") + 1;
        QVERIFY(pdf.endsWith("startxref\n" + QByteArray::number(xref) + "\n%%EOF\n"));
        const QList<QByteArray> table = pdf.mid(xref).split('\n');
        for (int n = 1; n <= 6; ++n)
            QVERIFY(pdf.mid(table[2 + n].left(10).toLongLong())
                        .startsWith(QByteArray::number(n) + " 0 obj"));
    }

    void portalPictureCutToPrimaryScreen_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QList<QRect>>("outputs");
        QTest::addColumn<QRect>("primary");
        QTest::addColumn<QRect>("kept");
        const auto row = [](const char *name, QSize picture, const QList<QRect> &outputs,
                            QRect primary, QRect kept) {
            QTest::newRow(name) << picture << outputs << primary << kept;
        };
        const QRect xga(0, 0, 1024, 768), left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
        row("one output", {1024, 768}, {xga}, xga, xga);
        row("primary on the right, shorter", {3200, 1080}, {left, right}, right,
            {1920, 0, 1280, 1024});
        row("an output left of the origin", {3200, 1080}, {{-1280, 0, 1280, 1024}, left}, left,
            {1280, 0, 1920, 1080});
        row("picture at twice the desktop's units", {6400, 2160}, {left, right}, right,
            {3840, 0, 2560, 2048});
    }

    void portalPictureCutToPrimaryScreen()
    {
        QFETCH(QSize, picture);
        QFETCH(QList<QRect>, outputs);
        QFETCH(QRect, primary);
        QTEST(primaryScreenPart(picture, outputs, primary), "kept");
    }

    // The X screen's primary monitor, read again at every grab, in the server's own pixels.
    void theX11PrimaryMonitor_data()
    {
        QTest::addColumn<QList<QRect>>("monitors");
        QTest::addColumn<int>("marked");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QRect>("kept");
        const QRect small(0, 0, 1280, 1024), right(1280, 0, 1920, 1080), uhd(0, 0, 3840, 2160);
        const auto row = [](const char *name, QList<QRect> monitors, int marked, QPoint origin,
                            QSize screen, QRect kept) {
            QTest::newRow(name) << monitors << marked << origin << screen << kept;
        };
        row("grown", {uhd}, 0, {}, uhd.size(), uhd);
        row("shrunk", {uhd}, 0, {}, {1024, 768}, {0, 0, 1024, 768});
        row("marked", {small, right}, 1, {}, {3200, 1080}, right);
        row("at Qt's origin", {small, right}, -1, right.topLeft(), {3200, 1080}, right);
        row("the first", {right, small}, -1, {5, 5}, {3200, 1080}, right);
        row("none listed", {}, -1, {}, {800, 600}, {0, 0, 800, 600});
    }

    void theX11PrimaryMonitor()
    {
        QFETCH(QList<QRect>, monitors);
        QFETCH(int, marked);
        QList<MonitorArea> areas;
        for (const QRect &m : monitors)
            areas.append({m, areas.size() == marked});
        QFETCH(QPoint, origin);
        QFETCH(QSize, screen);
        QTEST(primaryMonitorArea(areas, origin, screen), "kept");
        // Qt scales a screen's size at a desktop scale, not its origin.
        QCOMPARE(deviceArea({1280, 0, 960, 540}, 2), QRect(1280, 0, 1920, 1080));
    }

    void registryValueText_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, QByteArray stored, int type, QString text) {
            QTest::newRow(name) << stored << type << text;
        };
        const QString path = QStringLiteral("C:\\Tools\\MSINFO32.EXE");
        row("string with its zero", {"C:\\Tools\\MSINFO32.EXE", 22}, IRegistry::REG_SZ, path);
        row("string without", "C:\\Tools\\MSINFO32.EXE", IRegistry::REG_SZ, path);
        row("only the last zero goes", {"abc\0\0", 5}, IRegistry::REG_EXPAND_SZ,
            QString("abc") + QChar(0));
        row("nothing but zeros", {"\0\0\0", 3}, IRegistry::REG_SZ, QString(2, QChar(0)));
        row("double word", {"\x2a\0\0\0", 4}, IRegistry::REG_DWORD, "42");
        row("binary", "ab", 3, {});
    }

    void registryValueText()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, type);
        QTEST(SystemInfo::valueText(stored, (unsigned long)type), "text");
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the program's name
        QTest::addColumn<bool>("windows");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("goesOnWith");
        const auto row = [](const QStringList &arguments, bool windows, CommandLine::Action action,
                            const QStringList &goesOnWith) {
            QTest::addRow("%s%s", qPrintable(arguments.join(' ')), windows ? " on Windows" : "")
                << arguments << windows << int(action) << goesOnWith;
        };
        row({}, false, CommandLine::Run, {});
        row({"/a"}, false, CommandLine::Run, {"/a"});
        row({"--auto-dump"}, false, CommandLine::Run, {"/A"});
        row({"--bogus", "x"}, false, CommandLine::Run, {"--bogus", "x"});
        row({"--print-screen"}, false, CommandLine::PrintScreen, {"--print-screen"});
        row({"--help"}, false, CommandLine::Help, {"--help"});
        row({"--version"}, false, CommandLine::Version, {"--version"});
        row({"/?"}, true, CommandLine::Help, {"/?"});
        row({"/?"}, false, CommandLine::Run, {"/?"});
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, windows);
        QFETCH(QStringList, goesOnWith);
        const QString g = QStringLiteral("glimmerbox");
        const CommandLine line = CommandLine::parse(QStringList{g} + arguments, windows);
        QTEST(int(line.action), "action");
        QCOMPARE(line.arguments, QStringList{g} + goesOnWith);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *function, const char *path,
                            const char *result) {
            QTest::newRow(name) << function << path << result;
        };
        row("strip extension", "strip", "C:\\a.b\\Screen.jpg", "C:\\a.b\\Screen");
        row("strip at any full stop", "strip", "C:\\a.b\\Screen", "C:\\a");
        row("strip nothing", "strip", "Screen", "Screen");
        row("strip a name that is all extension", "strip", ".jpg", "");
        row("trailing backslash", "trailing", "C:\\Shots\\", "C:\\Shots");
        row("trailing slash", "trailing", "/home/u/", "/home/u");
        row("folder", "folder", "C:\\Shots\\Screen.jpg", "C:\\Shots\\");
        row("folder of a folder", "folder", "/home/u/Shots/", "/home/u/");
        row("no folder", "folder", "Screen.jpg", "");
        row("the root folder", "folder", "/Screen.jpg", "/");
        row("written as bitmap", "bmp", "/t/Screen.jpg", "/t/Screen.bmp");
        row("written, folder with a full stop", "jpg", "/t/a.b/Screen", "/t/a.b/Screen.jpg");
    }

    void fileNames()
    {
        QFETCH(QString, function);
        QFETCH(QString, path);
        const QString got = function == QLatin1String("strip")      ? stripExtension(path)
                            : function == QLatin1String("trailing") ? stripTrailingSeparator(path)
                            : function == QLatin1String("folder")
                                ? folderOfPath(path)
                                : writtenFileName(path, QLatin1Char('.') + function);
        QTEST(got, "result");
    }

    // Sequences recorded on each window system, "done" where the cycle ended: what counts is the
    // pages, how often the window went back to the task bar, and whether the mode was left.
    void autoDumpOnWhatWindowSystemsReport_data()
    {
        QTest::addColumn<TaskBarRestore>("sign");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("pagesMinimisesLeft");
        const auto row = [](const char *name, TaskBarRestore sign, const QString &events,
                            const char *expected) {
            QTest::newRow(name) << sign << events << QString::fromLatin1(expected);
        };
        const QString x11 = " normal active mapped minimised iconic inactive normal mapped"
                            " minimised iconic done";
        row("openbox, xcb", TaskBarRestore::ByMapping,
            "enter minimised iconic normal active mapped minimised iconic normal mapped minimised "
            "iconic inactive done normal mapped minimised active iconic inactive done normal "
            "active mapped minimised iconic inactive done maximised normal active mapped",
            "3 5 1");
        // Both pass through Qt's normal state on their way to the task bar at the start.
        const QString threeRestores =
            "enter minimised normal mapped minimised iconic" + x11 + x11 + x11;
        row("KWin, xcb", TaskBarRestore::ByMapping,
            threeRestores + " maximised normal minimised normal active mapped", "3 8 1");
        row("mutter, xcb", TaskBarRestore::ByMapping,
            threeRestores + " maximised normal active mapped", "3 8 1");
        // No minimise or restore reported, only activation; KWin activates the window again when
        // the cycle's pop-up closes.
        row("KWin, wayland", TaskBarRestore::ByActivation,
            "enter minimised normal active minimised normal inactive done active minimised normal "
            "inactive active minimised normal active minimised normal active minimised normal done "
            "inactive active minimised normal active minimised normal done active minimised normal "
            "inactive maximised normal active",
            "3 9 1");
        row("not on", TaskBarRestore::ByMapping, "minimised iconic normal mapped", "0 0 0");
        row("KWin, wayland: the pop-up's echo", TaskBarRestore::ByActivation,
            "enter minimised normal active minimised normal inactive done active inactive",
            "1 3 0");
    }

    void autoDumpOnWhatWindowSystemsReport()
    {
        QFETCH(TaskBarRestore, sign);
        QFETCH(QString, events);
        AutoDumpStates states(sign);
        int pages = 0, minimises = 0, left = 0;
        for (const QString &name : events.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            auto event = AutoDumpStates::Event(0);
            while (event != AutoDumpStates::Event::Count && name != AutoDumpStates::name(event))
                event = AutoDumpStates::Event(int(event) + 1);
            QVERIFY2(event != AutoDumpStates::Event::Count, qPrintable(name));
            const unsigned actions = states.feed(event);
            pages += bool(actions & AutoDumpStates::StartCycle);
            minimises += bool(actions & AutoDumpStates::Minimise);
            left += bool(actions & AutoDumpStates::Leave);
        }
        QTEST(QStringLiteral("%1 %2 %3").arg(pages).arg(minimises).arg(left), "pagesMinimisesLeft");
    }

    // --print-screen's channel: a line asked is "taken" at once, then answered; another program
    // takes over once the holder ends; a line too long goes unanswered; a program that ends while
    // one waits says nothing; and without the program there is no one to ask.
    void theHandOverChannel()
    {
        using Outcome = HandOverReply::Outcome;
        using namespace std::chrono_literals;
        QTemporaryDir runtime; // the user's own folder, where no session's program is
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        auto first = std::make_unique<HandOverServer>();
        QVERIFY2(first->error().isEmpty(), qPrintable(first->error()));
        auto server = std::make_unique<HandOverServer>();
        QCOMPARE(server->error(), "another Glimmerbox of this user takes the requests");
        first.reset();
        QTRY_VERIFY_WITH_TIMEOUT(server->error().isEmpty(), 5000);
        QList<QByteArray> asked;
        connect(server.get(), &HandOverServer::requested, this, [&](quint64 id, QByteArray line) {
            asked.append(line);
            if (line != "hold")
                server->answer(id, "printed " + line);
        });
        for (const QByteArray &line :
             {QByteArray("print-screen"), QByteArray(64, 'y'), QByteArray(65, 'x')}) {
            auto reply = std::async(std::launch::async, askRunningProgram, line);
            QTRY_VERIFY_WITH_TIMEOUT(reply.wait_for(0s) == std::future_status::ready, 10000);
            const HandOverReply got = reply.get();
            const bool whole = line.size() <= HandOverServer::LongestLine;
            QCOMPARE(got.outcome, whole ? Outcome::Answered : Outcome::NotTaken);
            QCOMPARE(got.answer, whole ? "printed " + line : "");
        }
        auto held = std::async(std::launch::async, askRunningProgram, "hold");
        QTRY_COMPARE(asked, (QList<QByteArray>{"print-screen", QByteArray(64, 'y'), "hold"}));
        server.reset();
        QCOMPARE(held.get().answer, "");
        QCOMPARE(askRunningProgram("print-screen").outcome, Outcome::NoProgram);
    }
};

QTEST_MAIN(tst_Core)
#include "tst_core.moc"
