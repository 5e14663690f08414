// The web link through the Windows shell: an address goes to whatever program the system has
// for it, by the shell's default action, started in the root of drive C with a normal window;
// an address the system has nothing for is dropped without a word.

#include "WindowsTools.h"
#include "platform/qt/QtServices.h"

#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <windows.h>

#include <memory>

using namespace WindowsTools;

namespace {

// A scheme of the tests' own, so that no browser of the machine is involved. Registered for the
// whole machine: Wine looks associations up there only.
const QString Scheme = QStringLiteral("glimmerbox-test");
const QString SchemeKey = QStringLiteral("HKLM\\SOFTWARE\\Classes\\") + Scheme;

} // namespace

class tst_ShellWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void anAddressOpensWithItsProgramInTheRootOfDriveC();
    void anAddressWithoutAProgramIsDroppedQuietly();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<KeptKey> keptScheme;
    QString log;
};

void tst_ShellWindows::initTestCase()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QVERIFY2(QFile::exists(probeProgram()), qPrintable(probeProgram()));
    keptScheme = std::make_unique<KeptKey>(SchemeKey, dir->path());
    const QString command =
        QStringLiteral("\"%1\" \"%2\"")
            .arg(QDir::toNativeSeparators(probeProgram()), QStringLiteral("%1"));
    for (const QStringList &args :
         {QStringList{"add", SchemeKey, "/ve", "/d", "URL:Glimmerbox test", "/f"},
          QStringList{"add", SchemeKey, "/v", "URL Protocol", "/d", "", "/f"},
          QStringList{"add", SchemeKey + "\\shell\\open\\command", "/ve", "/d", command, "/f"}}) {
        const Result added = reg(args);
        QVERIFY2(added.exitCode == 0, qPrintable(added.output));
    }
    log = QDir::toNativeSeparators(dir->filePath(QStringLiteral("probe.log")));
    qputenv("GLIMMERBOX_PROBE_LOG", log.toLocal8Bit());
}

void tst_ShellWindows::cleanupTestCase()
{
    keptScheme.reset();
}

void tst_ShellWindows::init()
{
    QFile::remove(log);
}

void tst_ShellWindows::anAddressOpensWithItsProgramInTheRootOfDriveC()
{
    // Over the program's main window, as the menu command and the About box run it.
    QWidget window;
    window.setWindowTitle(QStringLiteral("Glimmerbox"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    const QString address = Scheme + QStringLiteral("://www.moonferry.example/");
    SystemShell shell;
    shell.openUrl(address, &window);
    QTRY_COMPARE_WITH_TIMEOUT(probeStarts(log).size(), 1, 20000);
    const ProbeStart start = probeStarts(log).first();
    QVERIFY2(start.commandLine.endsWith(QStringLiteral("\"%1\"").arg(address)),
             qPrintable(start.commandLine));
    QCOMPARE(QDir::cleanPath(start.folder).toLower(), QStringLiteral("c:/"));
    QCOMPARE(start.showState, int(SW_SHOWNORMAL));
}

void tst_ShellWindows::anAddressWithoutAProgramIsDroppedQuietly()
{
    QWidget window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    SystemShell shell;
    // The shell would have to ask or complain here; it returns instead, and nothing of it stays
    // open over the program.
    shell.openUrl(QStringLiteral("glimmerbox-nothing-opens-this://www.moonferry.example/"),
                  &window);
    QCoreApplication::processEvents();
    int visible = 0;
    ::EnumWindows(
        [](HWND handle, LPARAM count) -> BOOL {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(handle, &owner);
            if (owner == ::GetCurrentProcessId() && ::IsWindowVisible(handle))
                ++*reinterpret_cast<int *>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visible));
    QCOMPARE(visible, 1); // the window of the test
    QVERIFY(probeStarts(log).isEmpty());
}

QTEST_MAIN(tst_ShellWindows)
#include "tst_shell_windows.moc"
