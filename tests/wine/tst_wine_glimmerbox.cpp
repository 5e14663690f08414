// glimmerbox.exe, cross-built for Windows, running under Wine from its folder on the test
// desktop, and looked at only from outside: its first shot is the X screen pixel for pixel,
// another program pastes that shot from the clipboard while it runs, and Print Now sends a job
// to the test spooler, which Wine finds through CUPS.

#include "Pdf.h"
#include "TestPattern.h"
#include "X11Checks.h"
#include "X11Screen.h"
#include "XTools.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

QString windowsFolder()
{
    return qEnvironmentVariable("GLIMMERBOX_WINDOWS_DIR");
}

QString wine64()
{
    const QString configured = qEnvironmentVariable("GLIMMERBOX_WINE64");
    return configured.isEmpty() ? QStringLiteral("/usr/lib/wine/wine64") : configured;
}

// What another program gets from the clipboard in the given format (xclip asks the owner, which
// is the Windows program, through Wine).
QByteArray paste(const QString &target)
{
    const XTools::Result r = XTools::runPumping(
        QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                  QStringLiteral("-t"), target, QStringLiteral("-o")});
    return r.exitCode == 0 ? QByteArray::fromBase64(r.out.toLatin1()) : QByteArray();
}

void xdotool(const QStringList &args)
{
    XTools::run(QStringLiteral("xdotool"), args);
}

// Activates the window and types the keys into it through the X server, as a keyboard would.
void type(const QString &window, const QString &keys)
{
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

QString waitForWindow(const QString &nameRegex, int timeoutMs)
{
    QString window;
    XTools::waitFor(
        [&] {
            const QStringList found = XTools::visibleWindows(nameRegex);
            if (found.size() == 1)
                window = found.first();
            return found.size() == 1;
        },
        timeoutMs);
    return window;
}

} // namespace

class tst_WineGlimmerbox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void theProgramRunsFromItsFolderAlone();
    void theFirstShotIsTheScreenPixelForPixel();
    void printNowReachesTheSpooler();
    void exitEndsTheProgram();
    void cleanupTestCase();

private:
    QProcess program;
    QString window;
    QImage pattern;
};

void tst_WineGlimmerbox::initTestCase()
{
    REQUIRE_X11();
    QVERIFY2(QFile::exists(QDir(windowsFolder()).filePath(QStringLiteral("glimmerbox.exe"))),
             "GLIMMERBOX_WINDOWS_DIR names no folder with glimmerbox.exe: run the tests through "
             "scripts/test");
    QVERIFY2(qEnvironmentVariableIsSet("WINEPREFIX"),
             "WINEPREFIX is not set: run the tests through scripts/test");
    QVERIFY2(QFile::exists(wine64()), qPrintable(wine64() + QStringLiteral(" is missing")));
    QVERIFY2(!Pdf::outputFolder().isEmpty(),
             "GLIMMERBOX_TEST_PDF_DIR is not set: run the tests through scripts/test");

    pattern = TestPattern::make(X11Screen::size(), 41);
    QString error;
    QVERIFY2(X11Screen::setRootPicture(pattern, &error), qPrintable(error));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Only what the folder holds: no DLL search path of the build, and the program picks its
    // own (Windows) platform plugin.
    environment.remove(QStringLiteral("WINEPATH"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("QT_PLUGIN_PATH"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(windowsFolder());
    program.setProgram(wine64());
    program.setArguments({QDir(windowsFolder()).filePath(QStringLiteral("glimmerbox.exe"))});
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted());
}

void tst_WineGlimmerbox::theProgramRunsFromItsFolderAlone()
{
    // The first start of a program in a fresh Wine prefix takes several seconds.
    window = waitForWindow(QStringLiteral("^Glimmerbox v1\\.04$"), 60000);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    const XTools::Result wmClass = XTools::run(
        QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_CLASS")});
    QVERIFY2(wmClass.out.contains(QLatin1String("\"glimmerbox.exe\"")), qPrintable(wmClass.out));
    QVERIFY(XTools::waitFor([&] { return XTools::geometry(window).width() == 737; }, 10000));
}

void tst_WineGlimmerbox::theFirstShotIsTheScreenPixelForPixel()
{
    QVERIFY(!window.isEmpty());
    // Copy to Clipboard with the whole first shot; its pop-up closes by itself.
    type(window, QStringLiteral("ctrl+c"));
    QVERIFY2(XTools::waitFor([] { return paste(QStringLiteral("TARGETS")).contains("image/bmp"); },
                             15000),
             "no bitmap on the clipboard");
    const QImage pasted = QImage::fromData(paste(QStringLiteral("image/bmp")), "bmp");
    QCOMPARE(pasted.size(), pattern.size());
    QCOMPARE(TestPattern::differingPixels(pasted.convertToFormat(QImage::Format_RGB32), pattern),
             0);
}

void tst_WineGlimmerbox::printNowReachesTheSpooler()
{
    QVERIFY(!window.isEmpty());
    // The pop-up of the copy (captioned like the program) has to be gone: it takes the keys.
    QVERIFY(XTools::waitFor(
        [] { return XTools::visibleWindows(QStringLiteral("^Glimmerbox$")).isEmpty(); }, 10000));
    const QStringList before = Pdf::files();
    type(window, QStringLiteral("ctrl+p"));
    const QString preview = waitForWindow(QStringLiteral("^ Print Preview$"), 20000);
    QVERIFY2(!preview.isEmpty(), "the print preview did not open");
    // A click on Print Now where the form puts it (4440, 1920 twips; 975 x 615), as a user
    // would: which control has the focus first is the platform's choice.
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), preview});
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), preview,
             QString::number((4440 + 975 / 2) / 15), QString::number((1920 + 615 / 2) / 15),
             QStringLiteral("click"), QStringLiteral("1")});
    const QString pdf = Pdf::waitForNew(before, 60000);
    QVERIFY2(!pdf.isEmpty(), "no job reached the spooler");
    const Pdf::Info info = Pdf::info(pdf);
    QCOMPARE(info.pages, 1);
    // cups-pdf turns a landscape page into a portrait one shown turned.
    QCOMPARE(info.rotation % 180, 90);
    // The first shot at 100 %: the screen's pixels at one pixel per 1/96 inch.
    const QList<QImage> images = Pdf::images(pdf);
    QCOMPARE(images.size(), 1);
    QCOMPARE(images.first().size(), pattern.size());
    QCOMPARE(
        TestPattern::differingPixels(images.first().convertToFormat(QImage::Format_RGB32), pattern),
        0);
}

void tst_WineGlimmerbox::exitEndsTheProgram()
{
    QVERIFY(!window.isEmpty());
    QVERIFY(XTools::waitFor(
        [] { return XTools::visibleWindows(QStringLiteral("^Glimmerbox$")).isEmpty(); }, 10000));
    type(window, QStringLiteral("ctrl+x"));
    QVERIFY2(program.waitForFinished(30000), "Ctrl+X did not end the program");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void tst_WineGlimmerbox::cleanupTestCase()
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
}

QTEST_MAIN(tst_WineGlimmerbox)
#include "tst_wine_glimmerbox.moc"
