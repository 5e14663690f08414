// The Help menu: the tips page, the web link, the About box, and finding and starting the
// System Information tool through the registry.

#include "DialogDriver.h"
#include "Fakes.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "dialogs/AboutForm.h"
#include "dialogs/SystemInfo.h"
#include "platform/qt/QtServices.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Location1 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString Location2 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

class tst_Help : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tipsText();
    void aboutBoxContents_data();
    void aboutBoxContents();
    void enterAndEscCloseTheAboutBox_data();
    void enterAndEscCloseTheAboutBox();
    void clickOnTheNoticeOpensTheSiteAndKeepsTheBox();
    void systemInformation_data();
    void systemInformation();
    void registryStringsLoseOnlyTheirTerminatingZero();
    void aRefusedFullAccessFallsBackToReading();
    void webLinkReturnsAtOnceWithoutABrowser();

private:
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
};

void tst_Help::init()
{
    fakes = std::make_unique<FakeServices>();
    fakes->screen.screen = TestPattern::make(QSize(640, 480));
    form = std::make_unique<GlimmerboxForm>(fakes->services());
    form->startUp();
    // Menu shortcuts reach the active window only.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void tst_Help::cleanup()
{
    form.reset();
    fakes.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Help::tipsText()
{
    QTest::keyClick(form.get(), Qt::Key_F1);
    QCOMPARE(fakes->messages.shown.size(), 1);
    const ShownMessage &tips = fakes->messages.shown.first();
    QCOMPARE(tips.title, QStringLiteral("Help - Tips"));
    QCOMPARE(tips.style, 0);
    const QString expected =
        QStringLiteral("AUTO-DUMP mode is the preferred method of using Glimmerbox.\r\n"
                       "Just click once on the button displayed on the Windows Task Bar\r\n"
                       "and a copy of the entire monitor display is sent immediately to\r\n"
                       "to the printer. No fuss, quick and easy!\r\n"
                       "\r\n"
                       "When Glimmerbox is first run it assumes the Window's default printer\r\n"
                       "and settings. PRINTER SETUP allows you to select a different\r\n"
                       "printer device and change the driver settings for quality, color and\r\n"
                       "paper size etc.\r\n"
                       "\r\n"
                       "To exit AUTO-DUMP mode right mouse button click the button on the\r\n"
                       "Window's Task Bar and select MAXIMIZE from the displayed pop-up menu.\r\n"
                       "DO NOT use the RESTORE menu item.\r\n"
                       "\r\n"
                       "To reselect one of the Grabbed Screen Shots just click on the\r\n"
                       "thumbnail. It will be redisplayed in the preview window. It can now\r\n"
                       "be printed, copied to clipboard or saved out to a Bitmap or Jpeg\r\n"
                       "format picture file.\r\n"
                       "\r\n"
                       "If you need to only print part of the screen use the mouse buttons\r\n"
                       "to select the area required from the Preview Window.");
    QCOMPARE(tips.text, expected);
    QCOMPARE(tips.text.split(QStringLiteral("\r\n")).size(), 21);
}

void tst_Help::aboutBoxContents_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("title");
    QTest::newRow("1.0.4") << 1 << 0 << 4 << "Glimmerbox v1.04";
    QTest::newRow("2.1.3") << 2 << 1 << 3 << "Glimmerbox v2.13";
}

void tst_Help::aboutBoxContents()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, title);
    fakes->program.programVersion = {major, minor, revision};
    QStringList seen;
    whenShown<AboutForm>([&](AboutForm *about) {
        seen << about->windowTitle() << about->lblTitle()->text() << about->lblDescription()->text()
             << about->lblDisclaimer()->text() << about->cmdSysInfo()->text()
             << QString::number(about->cmdOK()->isDefault())
             << QStringLiteral("%1x%2").arg(about->width()).arg(about->height());
        about->reject();
    });
    form->AboutMenuItem_Click();
    QCOMPARE(seen.size(), 7);
    QCOMPARE(seen[0], QStringLiteral(" About Glimmerbox"));
    QCOMPARE(seen[1], title);
    QCOMPARE(seen[2],
             QStringLiteral("The main purpose of Glimmerbox is to provide a quick and easy way to "
                            "printout exactly what you see on the monitor screen.  This is "
                            "achieved by running Glimmerbox in AUTO-DUMP mode.  Just one click on "
                            "the task button and a copy of the entire screen is immediately sent "
                            "to the printer. Glimmerbox can also be used to capture multiple "
                            "screen shots. These screen shots can then be selected, viewed, saved "
                            "to file, copied to clipboard and of course printed."));
    const QStringList disclaimer = seen[3].split(QLatin1Char('\n'));
    QCOMPARE(disclaimer.size(), 3);
    QCOMPARE(disclaimer[2], QStringLiteral("Visit: http://www.moonferry.example/"));
    QCOMPARE(seen[4], QStringLiteral("&System Info..."));
    QCOMPARE(seen[5], QStringLiteral("1"));
    QCOMPARE(seen[6], QStringLiteral("406x223"));
}

void tst_Help::enterAndEscCloseTheAboutBox_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void tst_Help::enterAndEscCloseTheAboutBox()
{
    QFETCH(int, key);
    bool wasOpen = false;
    whenShown<AboutForm>([&](AboutForm *about) {
        wasOpen = true;
        QTest::keyClick(about, Qt::Key(key));
    });
    form->AboutMenuItem_Click(); // returns only when the box has closed
    QVERIFY(wasOpen);
}

void tst_Help::clickOnTheNoticeOpensTheSiteAndKeepsTheBox()
{
    bool stillOpen = false;
    whenShown<AboutForm>([&](AboutForm *about) {
        QTest::mouseClick(about->lblDisclaimer(), Qt::LeftButton, {}, QPoint(20, 30));
        QCoreApplication::processEvents();
        stillOpen = about->isVisible();
        about->reject();
    });
    form->AboutMenuItem_Click();
    QVERIFY(stillOpen);
    QCOMPARE(fakes->shell.opened, QStringList{"http://www.moonferry.example/"});
    // The main window owns it, also from the About box.
    QCOMPARE(fakes->shell.owners, QList<QWidget *>{form.get()});
    // Ctrl+F1 does the same.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(fakes->shell.opened.size(), 2);
    QVERIFY(fakes->messages.shown.isEmpty());
}

void tst_Help::systemInformation_data()
{
    QTest::addColumn<QString>("location1");
    QTest::addColumn<QString>("location2");
    QTest::addColumn<QStringList>("startable");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("started"); // empty: the message
    QTest::newRow("location 1 wins")
        << "C:\\Windows\\msinfo32.exe"
        << "D:\\Tools" << QStringList{"C:\\Windows\\msinfo32.exe", "D:\\Tools\\MSINFO32.EXE"}
        << QStringList{"D:\\Tools\\MSINFO32.EXE"} << "C:\\Windows\\msinfo32.exe";
    QTest::newRow("location 2 with the file")
        << ""
        << "D:\\Tools" << QStringList{"D:\\Tools\\MSINFO32.EXE"}
        << QStringList{"D:\\Tools\\MSINFO32.EXE"} << "D:\\Tools\\MSINFO32.EXE";
    QTest::newRow("location 2 without the file")
        << ""
        << "D:\\Empty" << QStringList{} << QStringList{} << "";
    QTest::newRow("location 1 names a missing file") << "C:\\Gone\\msinfo32.exe"
                                                     << "" << QStringList{} << QStringList{} << "";
    QTest::newRow("neither") << ""
                             << "" << QStringList{} << QStringList{} << "";
}

void tst_Help::systemInformation()
{
    QFETCH(QString, location1);
    QFETCH(QString, location2);
    QFETCH(QStringList, startable);
    QFETCH(QStringList, files);
    QFETCH(QString, started);
    if (!location1.isEmpty())
        fakes->registry.set(Location1, QStringLiteral("PATH"), location1.toLocal8Bit() + '\0');
    if (!location2.isEmpty())
        fakes->registry.set(Location2, QStringLiteral("MSINFO"), location2.toLocal8Bit() + '\0');
    fakes->processes.startable = startable;
    fakes->files.existing = files;
    bool stillOpen = false;
    whenShown<AboutForm>([&](AboutForm *about) {
        about->cmdSysInfo()->click();
        stillOpen = about->isVisible();
        about->reject();
    });
    form->AboutMenuItem_Click();
    QVERIFY(stillOpen);
    for (unsigned long mask : fakes->registry.accessMasks)
        QCOMPARE(mask, 0x2003Fu);
    QCOMPARE(fakes->registry.closed, fakes->registry.opened.size());
    if (started.isEmpty()) {
        QCOMPARE(fakes->messages.shown.size(), 1);
        QCOMPARE(fakes->messages.shown[0].text,
                 QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(fakes->messages.shown[0].style, 0);
        QCOMPARE(fakes->messages.shown[0].title, QString()); // the program's title
    } else {
        QVERIFY(fakes->messages.shown.isEmpty());
        QCOMPARE(fakes->processes.tried, QStringList{started});
    }
}

void tst_Help::registryStringsLoseOnlyTheirTerminatingZero()
{
    FakeRegistry registry;
    FakeProcesses processes;
    FakeFiles files;
    FakeMessageBox messages;
    SystemInfo info(registry, processes, files, messages);
    registry.set(QStringLiteral("K"), QStringLiteral("WithZero"), QByteArray("abc\0", 4));
    registry.set(QStringLiteral("K"), QStringLiteral("WithoutZero"), QByteArray("abc"));
    registry.set(QStringLiteral("K"), QStringLiteral("TwoZeros"), QByteArray("abc\0\0", 5));
    registry.set(QStringLiteral("K"), QStringLiteral("Number"), QByteArray("\x2a\0\0\0", 4),
                 IRegistry::REG_DWORD);
    QString value = QStringLiteral("old");
    QVERIFY(info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("K"),
                             QStringLiteral("WithZero"), value));
    QCOMPARE(value, QStringLiteral("abc"));
    QVERIFY(info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("K"),
                             QStringLiteral("WithoutZero"), value));
    QCOMPARE(value, QStringLiteral("abc"));
    QVERIFY(info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("K"),
                             QStringLiteral("TwoZeros"), value));
    QCOMPARE(value, QStringLiteral("abc") + QChar(0));
    QVERIFY(info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("K"),
                             QStringLiteral("Number"), value));
    QCOMPARE(value, QStringLiteral("42"));
    value = QStringLiteral("old");
    QVERIFY(!info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("K"),
                              QStringLiteral("Missing"), value));
    QCOMPARE(value, QString());
    value = QStringLiteral("old");
    QVERIFY(!info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Nowhere"),
                              QStringLiteral("X"), value));
    QCOMPARE(value, QString());
}

void tst_Help::aRefusedFullAccessFallsBackToReading()
{
    FakeRegistry registry;
    registry.readOnly = true;
    FakeProcesses processes;
    FakeFiles files;
    FakeMessageBox messages;
    SystemInfo info(registry, processes, files, messages);
    registry.set(QStringLiteral("K"), QStringLiteral("Path"), QByteArray("C:\\msinfo32.exe", 16));
    QString value;
    QVERIFY(info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("K"),
                             QStringLiteral("Path"), value));
    QCOMPARE(value, QStringLiteral("C:\\msinfo32.exe"));
    QCOMPARE(registry.accessMasks, (QList<unsigned long>{0x2003F, 0x20019}));
    QCOMPARE(registry.closed, 1);
}

void tst_Help::webLinkReturnsAtOnceWithoutABrowser()
{
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", QFile::encodeName(empty.path()));
    qunsetenv("BROWSER");
    SystemShell shell;
    QElapsedTimer clock;
    clock.start();
    shell.openUrl(QStringLiteral("http://www.moonferry.example/"), form.get());
    const qint64 elapsed = clock.elapsed();
    qputenv("PATH", path);
    if (!browser.isNull())
        qputenv("BROWSER", browser);
    QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
    // Nothing is shown: no window but the main one.
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(w == form.get() || !w->isVisible());
}

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
