// The arithmetic every output depends on, as plain values in and out.

#include "app/AutoDumpStates.h"
#include "app/CommandLine.h"
#include "capture/CropSelection.h"
#include "dialogs/SystemInfo.h"
#include "imaging/FileNames.h"
#include "platform/Registry.h"
#include "platform/ScreenGrabber.h"
#include "printing/SheetLayout.h"

#include <QtTest>

using Edges = QList<float>; // x1, x2, y1, y2

namespace {

// The preview's drawing area: 565 x 413 pixels inside its border, at 15 twips per pixel.
const QSizeF Preview(8475, 6195);

CropEdges edges(const Edges &e)
{
    return {e[0], e[1], e[2], e[3]};
}

} // namespace

class tst_Core : public QObject
{
    Q_OBJECT

private slots:
    void cropLabelCountsShotPixels_data();
    void cropLabelCountsShotPixels();
    void cropAreaIsInTheShotAtTheLabelsSize_data();
    void cropAreaIsInTheShotAtTheLabelsSize();
    void theAreaOnTheSheet_data();
    void theAreaOnTheSheet();
    void portalPictureCutToPrimaryScreen_data();
    void portalPictureCutToPrimaryScreen();
    void registryValueText_data();
    void registryValueText();
    void commandLine_data();
    void commandLine();
    void fileNames_data();
    void fileNames();
    void autoDumpOnWhatWindowSystemsReport_data();
    void autoDumpOnWhatWindowSystemsReport();
};

void tst_Core::cropLabelCountsShotPixels_data()
{
    QTest::addColumn<QSize>("shot");
    QTest::addColumn<Edges>("drag");
    QTest::addColumn<QSize>("label");
    QTest::newRow("twice the preview")
        << QSize(1130, 826) << Edges{150, 1650, 150, 900} << QSize(200, 100);
    QTest::newRow("dragged up and left")
        << QSize(1130, 826) << Edges{1650, 150, 900, 150} << QSize(200, 100);
    // 150 twips at 4/15 pixel per twip is 40 in single precision, not 39.
    QTest::newRow("single precision")
        << QSize(2260, 1652) << Edges{0, 150, 0, 150} << QSize(40, 40);
    QTest::newRow("a click") << QSize(1024, 768) << Edges{300, 300, 200, 200} << QSize(0, 0);
    QTest::newRow("whole preview")
        << QSize(1130, 826) << Edges{0, 8475, 0, 6195} << QSize(1130, 826);
}

void tst_Core::cropLabelCountsShotPixels()
{
    QFETCH(QSize, shot);
    QFETCH(Edges, drag);
    QFETCH(QSize, label);
    const CropScale scale = Crop::scale(QSizeF(shot) * 15, Preview, 15, 15);
    QCOMPARE(Crop::labelSize(edges(drag), scale), label);
}

void tst_Core::cropAreaIsInTheShotAtTheLabelsSize_data()
{
    QTest::addColumn<QSize>("shot");
    for (const QSize size :
         {QSize(1024, 768), QSize(1920, 1080), QSize(2560, 1440), QSize(3840, 2160)})
        QTest::newRow(qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())))
            << size;
}

void tst_Core::cropAreaIsInTheShotAtTheLabelsSize()
{
    QFETCH(QSize, shot);
    const CropScale scale = Crop::scale(QSizeF(shot) * 15, Preview, 15, 15);
    QList<QPointF> grid;
    for (const double x : {-40.0, 0.0, 7.5, 14.9, 1001.7, 4237.5, 6000.3, 8460.0, 8475.0, 9000.0})
        for (const double y : {-40.0, 0.0, 7.5, 29.2, 3097.5, 5001.1, 6180.0, 6195.0, 7000.0})
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

void tst_Core::theAreaOnTheSheet_data()
{
    QTest::addColumn<QSizeF>("sheet"); // the printable area of a landscape sheet, in 1/96 inch
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("percent"); // 0: a one-click print
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QRectF>("target");
    QTest::addColumn<int>("lowest");
    const QSizeF a4(297 / 25.4 * 96, 210 / 25.4 * 96), letter(1056, 816);
    const QRect xga(0, 0, 1024, 768), hd(0, 0, 1920, 1080), uhd(0, 0, 3840, 2160);
    const QRect marked(600, 300, 301, 201);
    QTest::newRow("1024x768 100 % Letter")
        << letter << xga << 100 << xga << QRectF(16, 24, 1024, 768) << 25;
    QTest::newRow("1024x768 100 % A4")
        << a4 << xga << 100 << xga << QRectF(49.2598, 12.8504, 1024, 768) << 25;
    QTest::newRow("1024x768 one click")
        << a4 << xga << 0 << xga << QRectF(49.2598, 12.8504, 1024, 768) << 25;
    QTest::newRow("1920x1080 50 % A4")
        << a4 << hd << 50 << hd << QRectF(81.2598, 126.8504, 960, 540) << 25;
    QTest::newRow("1920x1080 100 % Letter: the middle")
        << letter << hd << 100 << QRect(432, 132, 1056, 816) << QRectF(0, 0, 1056, 816) << 25;
    QTest::newRow("1920x1080 100 % A4: part-pixels kept")
        << a4 << hd << 100 << QRect(398, 143, 1124, 794) << QRectF(-0.7402, -0.1496, 1124, 794)
        << 25;
    QTest::newRow("1920x1080 one click A4")
        << a4 << hd << 0 << hd << QRectF(0, 81.1417, 1122.5197, 631.4173) << 25;
    QTest::newRow("3840x2160 25 % A4")
        << a4 << uhd << 25 << uhd << QRectF(81.2598, 126.8504, 960, 540) << 25;
    QTest::newRow("3840x2160 200 % Letter")
        << letter << uhd << 200 << QRect(1656, 876, 528, 408) << QRectF(0, 0, 1056, 816) << 25;
    QTest::newRow("3840x2160 one click Letter")
        << letter << uhd << 0 << uhd << QRectF(0, 111, 1056, 594) << 25;
    QTest::newRow("7680x4320 one click A4: below 25 %")
        << a4 << QRect(0, 0, 7680, 4320) << 0 << QRect(0, 0, 7680, 4320)
        << QRectF(0, 81.1417, 1122.5197, 631.4173) << 14;
    QTest::newRow("marked 100 % A4")
        << a4 << marked << 100 << marked << QRectF(410.7598, 296.3504, 301, 201) << 25;
    QTest::newRow("marked 200 % Letter")
        << letter << marked << 200 << marked << QRectF(227, 207, 602, 402) << 25;
}

void tst_Core::theAreaOnTheSheet()
{
    QFETCH(QSizeF, sheet);
    QFETCH(QRect, area);
    QFETCH(int, percent);
    QFETCH(QRect, source);
    QFETCH(QRectF, target);
    QFETCH(int, lowest);
    const double zoom = percent ? percent / 100.0 : wholeAreaZoom(sheet, area.size());
    const SheetPlacement place = placeOnSheet(sheet, area, zoom);
    QCOMPARE(place.source, source);
    const QRectF &got = place.target;
    const QList<double> edges{got.left() - target.left(), got.top() - target.top(),
                              got.right() - target.right(), got.bottom() - target.bottom()};
    for (double edge : edges)
        QVERIFY2(std::abs(edge) < 1e-4, qPrintable(QString::number(edge)));
    QCOMPARE(lowestZoomPercent(sheet, area.size()), lowest);
}

void tst_Core::portalPictureCutToPrimaryScreen_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QList<QRect>>("outputs");
    QTest::addColumn<QRect>("primary");
    QTest::addColumn<QRect>("kept");
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    QTest::newRow("one output") << QSize(1024, 768) << QList<QRect>{QRect(0, 0, 1024, 768)}
                                << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768);
    QTest::newRow("primary on the right, shorter")
        << QSize(3200, 1080) << QList<QRect>{left, right} << right << QRect(1920, 0, 1280, 1024);
    QTest::newRow("an output left of the origin")
        << QSize(3200, 1080) << QList<QRect>{QRect(-1280, 0, 1280, 1024), left} << left
        << QRect(1280, 0, 1920, 1080);
    QTest::newRow("picture at twice the desktop's units")
        << QSize(6400, 2160) << QList<QRect>{left, right} << right << QRect(3840, 0, 2560, 2048);
}

void tst_Core::portalPictureCutToPrimaryScreen()
{
    QFETCH(QSize, picture);
    QFETCH(QList<QRect>, outputs);
    QFETCH(QRect, primary);
    QFETCH(QRect, kept);
    QCOMPARE(primaryScreenPart(picture, outputs, primary), kept);
}

void tst_Core::registryValueText_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    const QString path = QStringLiteral("C:\\Tools\\MSINFO32.EXE");
    QTest::newRow("string with its zero")
        << QByteArray("C:\\Tools\\MSINFO32.EXE", 22) << int(IRegistry::REG_SZ) << path;
    QTest::newRow("string without")
        << QByteArray("C:\\Tools\\MSINFO32.EXE") << int(IRegistry::REG_SZ) << path;
    QTest::newRow("only the last zero goes")
        << QByteArray("abc\0\0", 5) << int(IRegistry::REG_EXPAND_SZ)
        << QStringLiteral("abc") + QChar(0);
    QTest::newRow("double word") << QByteArray("\x2a\0\0\0", 4) << int(IRegistry::REG_DWORD)
                                 << QStringLiteral("42");
    QTest::newRow("binary") << QByteArray("ab") << 3 << QString();
}

void tst_Core::registryValueText()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, type);
    QFETCH(QString, text);
    QCOMPARE(SystemInfo::valueText(stored, (unsigned long)type), text);
}

void tst_Core::commandLine_data()
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

void tst_Core::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, windows);
    QFETCH(int, action);
    QFETCH(QStringList, goesOnWith);
    const QString g = QStringLiteral("glimmerbox");
    const CommandLine line = CommandLine::parse(QStringList{g} + arguments, windows);
    QCOMPARE(int(line.action), action);
    QCOMPARE(line.arguments, QStringList{g} + goesOnWith);
}

void tst_Core::fileNames_data()
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
    row("trailing backslash", "trailing", "C:\\Shots\\", "C:\\Shots");
    row("trailing slash", "trailing", "/home/u/", "/home/u");
    row("folder", "folder", "C:\\Shots\\Screen.jpg", "C:\\Shots\\");
    row("folder of a folder", "folder", "/home/u/Shots/", "/home/u/");
    row("no folder", "folder", "Screen.jpg", "");
    row("written as bitmap", "bmp", "/t/Screen.jpg", "/t/Screen.bmp");
    row("written, folder with a full stop", "jpg", "/t/a.b/Screen", "/t/a.b/Screen.jpg");
}

void tst_Core::fileNames()
{
    QFETCH(QString, function);
    QFETCH(QString, path);
    QFETCH(QString, result);
    const QString got = function == QLatin1String("strip")      ? stripExtension(path)
                        : function == QLatin1String("trailing") ? stripTrailingSeparator(path)
                        : function == QLatin1String("folder")
                            ? folderOfPath(path)
                            : writtenFileName(path, QLatin1Char('.') + function);
    QCOMPARE(got, result);
}

// Sequences recorded on each window system, "done" where the cycle ended: what counts is the pages,
// how often the window went back to the task bar, and whether the mode was left.
void tst_Core::autoDumpOnWhatWindowSystemsReport_data()
{
    QTest::addColumn<TaskBarRestore>("sign");
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("pagesMinimisesLeft");
    const auto row = [](const char *name, TaskBarRestore sign, const QString &events,
                        const char *expected) {
        QTest::newRow(name) << sign << events << QString::fromLatin1(expected);
    };
    const QString x11 = " normal active mapped minimised iconic inactive normal mapped minimised"
                        " iconic done";
    row("openbox, xcb", TaskBarRestore::ByMapping,
        "enter minimised iconic normal active mapped minimised iconic normal mapped minimised "
        "iconic inactive done normal mapped minimised active iconic inactive done normal active "
        "mapped minimised iconic inactive done maximised normal active mapped",
        "3 5 1");
    // Both pass through Qt's normal state on their way to the task bar at the start.
    const QString threeRestores =
        "enter minimised normal mapped minimised iconic" + x11 + x11 + x11;
    row("KWin, xcb", TaskBarRestore::ByMapping,
        threeRestores + " maximised normal minimised normal active mapped", "3 8 1");
    row("mutter, xcb", TaskBarRestore::ByMapping, threeRestores + " maximised normal active mapped",
        "3 8 1");
    // No minimise or restore reported, only activation; KWin activates the window again when the
    // cycle's pop-up closes.
    row("KWin, wayland", TaskBarRestore::ByActivation,
        "enter minimised normal active minimised normal inactive done active minimised normal "
        "inactive active minimised normal active minimised normal active minimised normal done "
        "inactive active minimised normal active minimised normal done active minimised normal "
        "inactive maximised normal active",
        "3 9 1");
    row("KWin, wayland: the pop-up's echo", TaskBarRestore::ByActivation,
        "enter minimised normal active minimised normal inactive done active inactive", "1 3 0");
}

void tst_Core::autoDumpOnWhatWindowSystemsReport()
{
    QFETCH(TaskBarRestore, sign);
    QFETCH(QString, events);
    QFETCH(QString, pagesMinimisesLeft);
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
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(pages).arg(minimises).arg(left), pagesMinimisesLeft);
}

QTEST_MAIN(tst_Core)
#include "tst_core.moc"
