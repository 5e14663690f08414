// One afternoon with the installed program, as a user spends it: keys and mouse through the X
// server at the controls' places, the window manager's task bar, and every output (printed page,
// files, pasted picture) checked against the screen it came from.

#include "JpegCheck.h"
#include "Pdf.h"
#include "TestPattern.h"
#include "UserDesktop.h"
#include "X11Checks.h"
#include "X11Screen.h"
#include "XTools.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace UserDesktop;

namespace {

const QString MainCaption = QStringLiteral("^Glimmerbox v1\\.04$");

// The screen is 1024 x 768; the preview draws the shot into 565 x 413 pixels at (18, 18) of the
// form, so a point on it stands for the shot pixel scaled by 1024 / 565 and 768 / 413.
const QRect PreviewDrawing(18, 18, 565, 413);
const QPoint GrabButton(16 + 44, 448 + 12);
const QPoint ThumbnailCentre(616 + 56, 16 + 40);
constexpr int ThumbnailPitch = 96;
const QRect ThumbnailDrawing(617, 17, 111, 79);

// Where the user drags on the preview, in preview pixels.
const QPoint CropFrom(100, 80);
const QPoint CropTo(400, 300);

void key(const QString &keys)
{
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void typeText(const QString &text)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

// No --sync: xdotool would wait for a move that never comes when the pointer is already there.
// The server takes the move and the click in order anyway.
void clickAt(QPoint p)
{
    xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
             QStringLiteral("click"), QStringLiteral("1")});
}

bool looksLike(const QImage &screen, const QRect &area, const QImage &picture, double limit)
{
    return TestPattern::meanDifference(screen.copy(area),
                                       picture.scaled(area.size(), Qt::IgnoreAspectRatio,
                                                      Qt::SmoothTransformation)) < limit;
}

bool gone(const QString &nameRegex, int timeoutMs = 10000)
{
    return XTools::waitFor([&] { return XTools::visibleWindows(nameRegex).isEmpty(); }, timeoutMs);
}

// The shot rectangle that a saved or copied crop came from: the one near the drag's ideal
// rectangle whose pixels it holds exactly; a null rectangle when there is none.
QRect sourceOf(const QImage &output, const QImage &shot, const QRectF &ideal)
{
    const QImage wanted = output.convertToFormat(QImage::Format_RGB32);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const QRect candidate(int(ideal.x()) + dx, int(ideal.y()) + dy, output.width(),
                                  output.height());
            if (TestPattern::differingPixels(shot.copy(candidate), wanted) == 0)
                return candidate;
        }
    return {};
}

} // namespace

class tst_E2eUser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithAFirstGrab();
    void twoMoreGrabsFillTheNextThumbnails();
    void clickingAThumbnailShowsItsShot();
    void printsTheCropAtTheChosenZoom();
    void savesTheCropAsJpegAndBitmap();
    void anotherProgramPastesTheCrop();
    void tipsAndAboutOpenAndClose();
    void autoDumpPrintsTheWholeScreenOnce();
    void exitEndsWithStatusZero();

private:
    QRect form() const { return formArea(m_window); }
    QPoint onForm(QPoint p) const { return form().topLeft() + p; }
    // Brings the main window to the front and waits until it takes the keyboard and mouse.
    void activate()
    {
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_window});
        QVERIFY(XTools::waitFor(
            [&] {
                return XTools::run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")})
                           .out.trimmed() == m_window;
            },
            5000));
    }
    void grabShowing(const QImage &pattern);

    std::unique_ptr<Program> m_program;
    QString m_window;
    QImage m_patterns[3];
    QRectF m_idealCrop;
    QTemporaryDir m_files;
    QImage m_savedBitmap;
};

void tst_E2eUser::initTestCase()
{
    REQUIRE_X11();
    QVERIFY2(!Pdf::outputFolder().isEmpty(),
             "GLIMMERBOX_TEST_PDF_DIR is not set: run the tests through scripts/test");
    const QString executable = qEnvironmentVariable("GLIMMERBOX_INSTALLED");
    QVERIFY2(!executable.isEmpty() && QFileInfo(executable).isExecutable(),
             "GLIMMERBOX_INSTALLED does not name the installed program: run the tests through "
             "scripts/test, which installs the package first");
    QCOMPARE(X11Screen::size(), QSize(1024, 768));
    for (int i = 0; i < 3; ++i)
        m_patterns[i] = TestPattern::make(QSize(1024, 768), 40 + i);
    QVERIFY(m_files.isValid());
    QVERIFY(X11Screen::setRootPicture(m_patterns[0]));
    m_program = std::make_unique<Program>(executable, QStringList());
    QVERIFY(m_program->started());
    m_window = waitForWindow(MainCaption);
    QVERIFY2(!m_window.isEmpty(), "the main window did not appear");
}

void tst_E2eUser::startsWithAFirstGrab()
{
    QVERIFY2(XTools::waitFor(
                 [&] {
                     return looksLike(X11Screen::dump(),
                                      PreviewDrawing.translated(form().topLeft()), m_patterns[0],
                                      6);
                 },
                 10000),
             "the preview does not show the screen as it was at start");
    // The window, frame included, settles in the middle of the screen.
    QVERIFY(XTools::waitFor(
        [&] {
            const QRect client = XTools::geometry(m_window);
            const QList<int> frame = XTools::frameExtents(m_window);
            if (frame.size() != 4)
                return false;
            const QRect outer = client.adjusted(-frame[0], -frame[2], frame[1], frame[3]);
            return std::abs(outer.center().x() - 511) <= 1 &&
                   std::abs(outer.center().y() - 383) <= 1;
        },
        5000));
}

void tst_E2eUser::grabShowing(const QImage &pattern)
{
    QVERIFY(X11Screen::setRootPicture(pattern));
    activate();
    clickAt(onForm(GrabButton));
    QVERIFY2(XTools::waitFor(
                 [&] {
                     return looksLike(X11Screen::dump(),
                                      PreviewDrawing.translated(form().topLeft()), pattern, 6);
                 },
                 10000),
             "the preview does not show the new shot");
}

void tst_E2eUser::twoMoreGrabsFillTheNextThumbnails()
{
    grabShowing(m_patterns[1]);
    grabShowing(m_patterns[2]);
    const QImage screen = X11Screen::dump();
    for (int i = 0; i < 3; ++i) {
        const QRect thumb =
            ThumbnailDrawing.translated(form().topLeft() + QPoint(0, i * ThumbnailPitch));
        QVERIFY2(looksLike(screen, thumb, m_patterns[i], 12), qPrintable(QString::number(i)));
    }
}

void tst_E2eUser::clickingAThumbnailShowsItsShot()
{
    // The desktop now shows something else: what follows must come from the stored shot.
    QVERIFY(X11Screen::setRootPicture(TestPattern::make(QSize(1024, 768), 99)));
    activate();
    clickAt(onForm(ThumbnailCentre + QPoint(0, ThumbnailPitch)));
    QVERIFY2(XTools::waitFor(
                 [&] {
                     return looksLike(X11Screen::dump(),
                                      PreviewDrawing.translated(form().topLeft()), m_patterns[1],
                                      6);
                 },
                 5000),
             "the preview does not show the second shot");

    // A drag with the left button marks the crop.
    const QPoint from = onForm(PreviewDrawing.topLeft() + CropFrom);
    const QPoint to = onForm(PreviewDrawing.topLeft() + CropTo);
    xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
             QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= 5; ++step) {
        const QPoint at = from + (to - from) * step / 5;
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    }
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    const double sx = 1024.0 / PreviewDrawing.width();
    const double sy = 768.0 / PreviewDrawing.height();
    m_idealCrop = QRectF(QPointF(CropFrom.x() * sx, CropFrom.y() * sy),
                         QPointF(CropTo.x() * sx, CropTo.y() * sy));
}

void tst_E2eUser::printsTheCropAtTheChosenZoom()
{
    const QStringList before = Pdf::files();
    activate();
    key(QStringLiteral("ctrl+p"));
    const QString preview = waitForWindow(QStringLiteral("^ Print Preview$"));
    QVERIFY2(!preview.isEmpty(), "the print preview did not open");
    const QRect client = XTools::geometry(preview);
    // The zoom bar opens at 100 %; five clicks on its right arrow add 10 % each.
    for (int i = 0; i < 5; ++i)
        clickAt(client.topLeft() + QPoint(8 + 257 - 8, 203 + 8));
    clickAt(client.topLeft() + QPoint(296 + 32, 128 + 20)); // Print Now
    const QString pdf = Pdf::waitForNew(before);
    QVERIFY2(!pdf.isEmpty(), "nothing was printed");
    QCOMPARE(Pdf::info(pdf).pages, 1);
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    const QImage canvas = images.first().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(canvas.size(), QSize(1024, 768));

    // The crop at one and a half times its size, in the middle of a white page of the screen's
    // size.
    const QSizeF drawn = m_idealCrop.size() * 1.5;
    const QRectF where((1024 - drawn.width()) / 2, (768 - drawn.height()) / 2, drawn.width(),
                       drawn.height());
    const QRect inner = where.toRect().adjusted(3, 3, -3, -3);
    const QRect outer = where.toRect().adjusted(-3, -3, 3, 3);
    QVERIFY(TestPattern::isWhite(canvas, QRect(0, 0, 1024, outer.top())));
    QVERIFY(TestPattern::isWhite(canvas, QRect(0, outer.bottom(), 1024, 768 - outer.bottom())));
    QVERIFY(TestPattern::isWhite(canvas, QRect(0, 0, outer.left(), 768)));
    QVERIFY(TestPattern::isWhite(canvas, QRect(outer.right(), 0, 1024 - outer.right(), 768)));
    QImage expected(canvas.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(where, m_patterns[1], m_idealCrop);
    }
    const double difference = TestPattern::meanDifference(canvas.copy(inner), expected.copy(inner));
    QVERIFY2(difference < 3, qPrintable(QString::number(difference)));
}

void tst_E2eUser::savesTheCropAsJpegAndBitmap()
{
    QVERIFY(gone(QStringLiteral("^Glimmerbox$"))); // the print pop-up
    const QString base = m_files.filePath(QStringLiteral("desk"));
    activate();
    key(QStringLiteral("ctrl+s"));
    QVERIFY2(!waitForWindow(QStringLiteral("^Save to File$")).isEmpty(), "no save dialog");
    key(QStringLiteral("ctrl+a"));
    typeText(base);
    key(QStringLiteral("Return"));
    QVERIFY(gone(QStringLiteral("^Save to File$")));
    QVERIFY(XTools::waitFor([&] { return QFile::exists(base + QStringLiteral(".jpg")); }, 10000));
    QVERIFY(gone(QStringLiteral("^Glimmerbox$")));

    // The second time the bitmap type is chosen in the dialog's type list, below the name.
    activate();
    key(QStringLiteral("ctrl+s"));
    QVERIFY(!waitForWindow(QStringLiteral("^Save to File$")).isEmpty());
    key(QStringLiteral("ctrl+a"));
    typeText(base);
    key(QStringLiteral("Tab"));
    key(QStringLiteral("Down"));
    key(QStringLiteral("Return"));
    QVERIFY(gone(QStringLiteral("^Save to File$")));
    QVERIFY(XTools::waitFor([&] { return QFile::exists(base + QStringLiteral(".bmp")); }, 10000));
    QVERIFY(gone(QStringLiteral("^Glimmerbox$")));

    m_savedBitmap = QImage(base + QStringLiteral(".bmp"), "BMP");
    QVERIFY(!m_savedBitmap.isNull());
    QVERIFY2(std::abs(m_savedBitmap.width() - m_idealCrop.width()) <= 1.5 &&
                 std::abs(m_savedBitmap.height() - m_idealCrop.height()) <= 1.5,
             qPrintable(
                 QStringLiteral("%1 x %2").arg(m_savedBitmap.width()).arg(m_savedBitmap.height())));
    const QRect source = sourceOf(m_savedBitmap, m_patterns[1], m_idealCrop);
    QVERIFY2(!source.isNull(), "the bitmap does not hold the marked pixels of the shot");

    const JpegCheck::Decoded jpeg = JpegCheck::decode(base + QStringLiteral(".jpg"));
    QVERIFY(!jpeg.image.isNull());
    QCOMPARE(jpeg.image.size(), source.size());
    QCOMPARE(jpeg.quantTables, JpegCheck::referenceTables(90));
    const double difference = TestPattern::meanDifference(
        jpeg.image.convertToFormat(QImage::Format_RGB32), m_patterns[1].copy(source));
    QVERIFY2(difference < 3, qPrintable(QString::number(difference)));
}

void tst_E2eUser::anotherProgramPastesTheCrop()
{
    activate();
    key(QStringLiteral("ctrl+c"));
    // The pop-up comes first; the picture is on the clipboard once it has gone.
    QVERIFY(!waitForWindow(QStringLiteral("^Glimmerbox$"), 5000).isEmpty());
    QVERIFY(gone(QStringLiteral("^Glimmerbox$")));
    const XTools::Result pasted = XTools::runPumping(
        QStringLiteral("xclip"),
        {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
         QStringLiteral("image/png"), QStringLiteral("-o")});
    QCOMPARE(pasted.exitCode, 0);
    QImage picture;
    QVERIFY(picture.loadFromData(QByteArray::fromBase64(pasted.out.toLatin1()), "PNG"));
    QCOMPARE(picture.size(), m_savedBitmap.size());
    QCOMPARE(TestPattern::differingPixels(picture.convertToFormat(QImage::Format_RGB32),
                                          m_savedBitmap.convertToFormat(QImage::Format_RGB32)),
             0);
}

void tst_E2eUser::tipsAndAboutOpenAndClose()
{
    activate();
    key(QStringLiteral("F1"));
    QVERIFY2(!waitForWindow(QStringLiteral("^Help - Tips$")).isEmpty(), "no tips");
    key(QStringLiteral("Return"));
    QVERIFY(gone(QStringLiteral("^Help - Tips$")));

    // Help is the third menu: open the first with the mouse, walk over, and take its last item.
    activate();
    const QRect client = XTools::geometry(m_window);
    clickAt(client.topLeft() + QPoint(14, (form().top() - client.top()) / 2));
    // Walking over opens each menu with its first item chosen: About is two below Tips.
    key(QStringLiteral("Right"));
    key(QStringLiteral("Right"));
    key(QStringLiteral("Down"));
    key(QStringLiteral("Down"));
    key(QStringLiteral("Return"));
    QVERIFY2(!waitForWindow(QStringLiteral("^ About Glimmerbox$")).isEmpty(), "no About box");
    // This desktop has no system-information program: the box says so and stays open.
    key(QStringLiteral("alt+s"));
    QVERIFY2(!waitForWindow(QStringLiteral("^Glimmerbox$")).isEmpty(), "System Info said nothing");
    key(QStringLiteral("Return"));
    QVERIFY(gone(QStringLiteral("^Glimmerbox$")));
    QVERIFY(!XTools::visibleWindows(QStringLiteral("^ About Glimmerbox$")).isEmpty());
    key(QStringLiteral("Return"));
    QVERIFY(gone(QStringLiteral("^ About Glimmerbox$")));
}

void tst_E2eUser::autoDumpPrintsTheWholeScreenOnce()
{
    const QImage screen = TestPattern::make(QSize(1024, 768), 50);
    QVERIFY(X11Screen::setRootPicture(screen));
    activate();
    key(QStringLiteral("ctrl+a"));
    QVERIFY2(!waitForWindow(QStringLiteral("^You have selected Auto-Dump mode\\.$")).isEmpty(),
             "no explanation");
    key(QStringLiteral("Return"));
    QVERIFY(XTools::waitFor(
        [&] {
            return XTools::isIconic(m_window) &&
                   XTools::caption(m_window) == QLatin1String("Click to Print Screen");
        },
        10000));

    const QStringList before = Pdf::files();
    xdotool({QStringLiteral("windowactivate"), m_window});
    const QString pdf = Pdf::waitForNew(before);
    QVERIFY2(!pdf.isEmpty(), "the click on the task bar printed nothing");
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    QCOMPARE(
        TestPattern::differingPixels(images.first().convertToFormat(QImage::Format_RGB32), screen),
        0);
    QVERIFY(XTools::waitFor(
        [&] {
            return XTools::isIconic(m_window) &&
                   XTools::caption(m_window) == QLatin1String("Click to Print Screen");
        },
        10000));

    maximise(m_window);
    QVERIFY(XTools::waitFor(
        [&] { return XTools::caption(m_window) == QLatin1String("Glimmerbox"); }, 5000));
    QVERIFY(XTools::waitFor([&] { return isNormalAtDesignSize(m_window); }, 5000));
}

void tst_E2eUser::exitEndsWithStatusZero()
{
    activate();
    key(QStringLiteral("ctrl+x"));
    QCOMPARE(m_program->waitForExit(10000), 0);
}

QTEST_MAIN(tst_E2eUser)
#include "tst_e2e_user.moc"
