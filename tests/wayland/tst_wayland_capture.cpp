// On a real Wayland desktop (sway, the desktop portal with the wlr back-end), whichever Qt
// platform the program runs on: the first grab is the screen pixel for pixel, through the
// portal, and the file the portal wrote is gone afterwards.

#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/qt/QtServices.h"

#include "XTools.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool focusedIn(const QJsonObject &node)
{
    static const QRegularExpression caption(QStringLiteral("^Glimmerbox( v1\\.04)?$"));
    if (node.value(QLatin1String("focused")).toBool() &&
        caption.match(node.value(QLatin1String("name")).toString()).hasMatch())
        return true;
    for (const char *children : {"nodes", "floating_nodes"})
        for (const QJsonValue &child : node.value(QLatin1String(children)).toArray())
            if (focusedIn(child.toObject()))
                return true;
    return false;
}

bool focusedWindowIsTheProgram()
{
    const XTools::Result tree =
        XTools::run(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    return focusedIn(QJsonDocument::fromJson(tree.out.toUtf8()).object());
}

} // namespace

class tst_WaylandCapture : public QObject
{
    Q_OBJECT

private slots:
    void grabsTheScreenThroughThePortal();
    void theProgramHandsItsShotToOtherPrograms();
};

void tst_WaylandCapture::grabsTheScreenThroughThePortal()
{
    QVERIFY2(qEnvironmentVariableIsSet("WAYLAND_DISPLAY"), "run inside the Wayland test session");
    const QImage expected(qEnvironmentVariable("GLIMMERBOX_PATTERN"));
    QVERIFY2(!expected.isNull(), "GLIMMERBOX_PATTERN names no picture");
    QFile::remove(QStringLiteral("/tmp/out.png"));

    QtPlatform platform({QStringLiteral("glimmerbox")});
    GlimmerboxForm form(platform.services());
    form.startUp();
    QCOMPARE(form.CurrentShotIndex(), 0);
    QCOMPARE(form.CurrentImageLabel().text(),
             QStringLiteral("Entire Screen Shot Selected - W1024 x H768"));
    const QImage shot = form.shots().GrabbedImage[0];
    QCOMPARE(shot.size(), expected.size());
    // Not the all-black picture a plain grab gives on XWayland.
    QVERIFY(TestPattern::differingPixels(shot, QImage(shot.size(), QImage::Format_RGB32)) > 0);
    const qsizetype differing = TestPattern::differingPixels(shot, expected);
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    QVERIFY2(!QFile::exists(QStringLiteral("/tmp/out.png")), "the portal's file was left behind");

    // With the window up (sway gives it the whole output), a grab hides it first.
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.GrabButton_Click();
    QCOMPARE(form.CurrentShotIndex(), 1);
    QCOMPARE(TestPattern::differingPixels(form.shots().GrabbedImage[1], expected), 0);
}

void tst_WaylandCapture::theProgramHandsItsShotToOtherPrograms()
{
    // The program itself, in its own process: its first shot goes to the clipboard on Ctrl+C,
    // typed by a virtual keyboard, and another program pastes it.
    const QImage expected(qEnvironmentVariable("GLIMMERBOX_PATTERN"));
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QProcess program;
    auto stop = qScopeGuard([&] {
        program.kill();
        program.waitForFinished();
    });
    program.setProgram(QStringLiteral(GLIMMERBOX_EXE));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted());
    // The window counts once the compositor gives it the keyboard. Its caption is the
    // program's title, or "Glimmerbox" where the compositor tiles it as a maximised window.
    QVERIFY2(XTools::waitFor([] { return focusedWindowIsTheProgram(); }, 20000),
             "the main window never took the keyboard");
    const QString pasted = work.filePath(QStringLiteral("pasted.png"));
    QImage picture;
    // The pop-up closes after two seconds and the picture is there from then on. The virtual
    // keyboard pauses before and between its keys, so that its key map reaches the program
    // first; a key lost all the same is typed again.
    for (int attempt = 0; attempt < 3 && picture.isNull(); ++attempt) {
        XTools::run(QStringLiteral("wtype"),
                    {QStringLiteral("-s"), QStringLiteral("300"), QStringLiteral("-M"),
                     QStringLiteral("ctrl"), QStringLiteral("-s"), QStringLiteral("100"),
                     QStringLiteral("c"), QStringLiteral("-m"), QStringLiteral("ctrl")});
        XTools::waitFor(
            [&] {
                XTools::run(
                    QStringLiteral("sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("wl-paste --no-newline -t image/png > '%1'").arg(pasted)});
                return picture.load(pasted, "PNG");
            },
            6000);
    }
    QVERIFY2(!picture.isNull(), "nothing could be pasted");
    QCOMPARE(picture.size(), expected.size());
    QCOMPARE(TestPattern::differingPixels(picture.convertToFormat(QImage::Format_RGB32),
                                          expected.convertToFormat(QImage::Format_RGB32)),
             0);
}

QTEST_MAIN(tst_WaylandCapture)
#include "tst_wayland_capture.moc"
