// The platform layer on Windows itself: the registry that leads to the System Information tool,
// the programs and shell actions it starts, saving over a file, and glimmerbox.exe's resources.

#include "BuildConfig.h"
#include "Fakes.h"
#include "dialogs/SystemInfo.h"
#include "platform/FileReplace.h"
#include "platform/qt/QtServices.h"

#include <QtTest>

#include <memory>

#include <windows.h>

#include <shellapi.h>

namespace {

const QString Location1 = QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString Location2 = QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location");
// A scheme of the tests' own, so that no browser of the machine takes part. Wine looks
// associations up below the machine's key only.
const QString Scheme = QStringLiteral("HKLM\\SOFTWARE\\Classes\\glimmerbox-test");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The system's own reg tool: empty when it did what it was asked, otherwise what it said.
QString reg(const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral("reg"), args);
    if (tool.waitForFinished(30000) && tool.exitCode() == 0)
        return {};
    return args.join(QLatin1Char(' ')) + QStringLiteral(": ") + tool.readAll() + tool.errorString();
}

quint64 steps(const FILETIME &time)
{
    return (quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Looked at without opening the file, which would change its last-access time.
QList<quint64> attributesAndTimes(const QString &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(native(path).toStdWString().c_str(), GetFileExInfoStandard, &data))
        return {};
    return {data.dwFileAttributes, steps(data.ftCreationTime), steps(data.ftLastAccessTime),
            steps(data.ftLastWriteTime)};
}

} // namespace

class tst_Windows : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString log = native(dir.filePath(QStringLiteral("probe.log")));
    QString probe = native(QCoreApplication::applicationDirPath() + QStringLiteral("/probe.exe"));
    bool kept[2] = {};

    // The probe's line about how it was started (command line, working folder, show state,
    // separated by tabs), taken out of its log.
    QString probeStart()
    {
        QByteArray line;
        const bool started = QTest::qWaitFor(
            [&] {
                QFile file(log);
                line = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                return line.endsWith('\n') && file.remove();
            },
            20000);
        return started ? QString::fromLocal8Bit(line).trimmed()
                       : QStringLiteral("(no program was started within 20 s)");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // Copies of the probe stand for the System Information tool where the registry may say.
        for (const QString copy : {"first/tool.exe", "second/MSINFO32.EXE"})
            QVERIFY2(QDir(dir.path()).mkpath(QFileInfo(copy).path()) &&
                         QFile::copy(probe, dir.filePath(copy)),
                     qPrintable(probe));
        qputenv("GLIMMERBOX_PROBE_LOG", log.toLocal8Bit());
        // The machine's own entries come back when the tests are done.
        for (int i : {0, 1})
            kept[i] = reg({"export", i ? Location2 : Location1,
                           native(dir.filePath(QString::number(i))), "/y"})
                          .isEmpty();
    }

    void cleanupTestCase()
    {
        for (int i : {0, 1}) {
            reg({"delete", i ? Location2 : Location1, "/f"});
            if (kept[i])
                reg({"import", native(dir.filePath(QString::number(i)))});
        }
        reg({"delete", Scheme, "/f"});
    }

    void systemInformation_data()
    {
        // Paths below the test's folder; an empty one is a value that is not there.
        QTest::addColumn<QString>("path");   // PATH below the first location
        QTest::addColumn<bool>("withZero");  // stored with its terminating zero, as reg stores it
        QTest::addColumn<QString>("folder"); // MSINFO below the second location
        QTest::addColumn<QString>("started");
        const auto row = [](const char *name, const char *path, bool withZero, const char *folder,
                            const char *started) {
            QTest::newRow(name) << path << withZero << folder << started;
        };
        row("first location before the second", "first/tool.exe", true, "second", "first/tool.exe");
        row("without the terminating zero", "first/tool.exe", false, "", "first/tool.exe");
        row("second location", "", true, "second", "second/MSINFO32.EXE");
        row("no value: unavailable", "", true, "", "");
    }

    void systemInformation()
    {
        QFETCH(QString, path);
        QFETCH(bool, withZero);
        QFETCH(QString, folder);
        QFETCH(QString, started);
        reg({"delete", Location1, "/f"});
        reg({"delete", Location2, "/f"});
        // The first location's key is there either way: only its value may be missing.
        QCOMPARE(reg({"add", Location1, "/f"}), QString());
        if (!path.isEmpty() && withZero)
            QCOMPARE(reg({"add", Location1, "/v", "PATH", "/d", native(dir.filePath(path)), "/f"}),
                     QString());
        // Followed by a non-zero byte: the system would count a zero there as the string's.
        const QByteArray bytes = native(dir.filePath(path)).toLocal8Bit() + '*';
        if (!path.isEmpty() && !withZero)
            QCOMPARE(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, qPrintable(Location1.mid(5)), "PATH",
                                       REG_SZ, bytes.constData(), DWORD(bytes.size() - 1)),
                     ERROR_SUCCESS);
        if (!folder.isEmpty())
            QCOMPARE(
                reg({"add", Location2, "/v", "MSINFO", "/d", native(dir.filePath(folder)), "/f"}),
                QString());

        const std::unique_ptr<IRegistry> registry = makeSystemRegistry();
        SystemProcessLauncher launcher;
        QtFiles files;
        FakeMessageBox messages;
        SystemInfo(*registry, launcher, files, messages).start();

        const QStringList unavailable{"|System Information Is Unavailable At This Time"};
        QCOMPARE(messages.shown, started.isEmpty() ? unavailable : QStringList());
        if (started.isEmpty())
            return;
        // The whole path, quoted, is the command line; the window is a normal one (SW_SHOWNORMAL).
        QCOMPARE(probeStart(),
                 QStringLiteral("\"%1\"\t%2\t1")
                     .arg(native(dir.filePath(started)), native(QDir::currentPath())));
    }

    void webLinkOpensWithTheShellsDefaultAction()
    {
        QCOMPARE(reg({"add", Scheme, "/v", "URL Protocol", "/d", "", "/f"}), QString());
        QCOMPARE(reg({"add", Scheme + "\\shell\\open\\command", "/ve", "/d",
                      QStringLiteral("\"%1\" \"%2\"").arg(probe, "%1"), "/f"}),
                 QString());
        SystemShell().openUrl(QStringLiteral("glimmerbox-test://www.moonferry.example/"), nullptr);
        // Started in the root of drive C, so that it never holds another folder open.
        QCOMPARE(probeStart().toLower(),
                 QStringLiteral("\"%1\" \"glimmerbox-test://www.moonferry.example/\"\tc:\\\t1")
                     .arg(probe.toLower()));
    }

    void savingOverAFile_data()
    {
        QTest::addColumn<int>("attributes");
        QTest::addColumn<bool>("writes"); // false: the writer gives up half way, as on a full disk
        QTest::addColumn<QString>("reason"); // "system": the system's words
        QTest::newRow("archive") << FILE_ATTRIBUTE_ARCHIVE << true << "";
        QTest::newRow("hidden, system")
            << (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) << true << "";
        QTest::newRow("read-only") << FILE_ATTRIBUTE_READONLY << true << "system";
        QTest::newRow("failed write") << FILE_ATTRIBUTE_ARCHIVE << false << "disk full";
    }

    void savingOverAFile()
    {
        QFETCH(int, attributes);
        QFETCH(bool, writes);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("Screen.jpg"));
        const std::wstring path = native(name).toStdWString();
        const QByteArray old("\xff\xd8 the only copy\0", 17);
        QFile file(name);
        // Times with a fraction of a second that no clock gives by chance.
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size() && file.flush() &&
                file.setFileTime(QDateTime(QDate(2023, 3, 1), QTime(9, 41, 17, 123)),
                                 QFileDevice::FileAccessTime) &&
                file.setFileTime(QDateTime(QDate(2023, 2, 28), QTime(8, 5, 1, 987)),
                                 QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(::SetFileAttributesW(path.c_str(), DWORD(attributes)));
        const QList<quint64> before = attributesAndTimes(name);

        const Result<> result = replaceFileSafely(name, [&](const QString &temporary) {
            QFile part(temporary);
            const bool wrote = part.open(QIODevice::WriteOnly) && part.write("the new picture") > 0;
            return wrote && writes ? Result<>() : Failure{"disk full"};
        });
        QCOMPARE(bool(result), reason.isEmpty());
        // The system's own words for a read-only file, not the writer's: nothing was written.
        QCOMPARE(result.reason() == "disk full", reason == "disk full");
        QCOMPARE(attributesAndTimes(name), before);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), result ? "the new picture" : old);
        file.close();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{"Screen.jpg"});
        // So that the folder can go.
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    void theProgramCarriesItsIconAndVersion()
    {
        const std::wstring program = QStringLiteral(GLIMMERBOX_EXE).toStdWString();
        QVERIFY(::ExtractIconExW(program.c_str(), -1, nullptr, nullptr, 0) > 0);
        QByteArray info(::GetFileVersionInfoSizeW(program.c_str(), nullptr), '\0');
        void *value = nullptr;
        UINT length = 0;
        QVERIFY(::GetFileVersionInfoW(program.c_str(), 0, DWORD(info.size()), info.data()) &&
                ::VerQueryValueW(info.constData(), L"\\", &value, &length));
        const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
        QCOMPARE(HIWORD(fixed->dwFileVersionLS), GLIMMERBOX_VERSION_PATCH);
        QCOMPARE(fixed->dwFileVersionMS,
                 DWORD(GLIMMERBOX_VERSION_MAJOR << 16 | GLIMMERBOX_VERSION_MINOR));
    }
};

QTEST_GUILESS_MAIN(tst_Windows)
#include "tst_windows.moc"
