// The registry read behind the About box's System Info button, on the system's own registry:
// values written with the system's reg tool, read back through GetKeyValue, and the System
// Information tool started as a process of its own from where the registry says it is.

#include "Fakes.h"
#include "WindowsTools.h"
#include "dialogs/SystemInfo.h"
#include "platform/qt/QtServices.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace WindowsTools;

namespace {

const QString Location1 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString Location2 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString TestKey = QStringLiteral("SOFTWARE\\Glimmerbox Tests");
const QString ReadOnlyKey = QStringLiteral("Software\\Glimmerbox Tests Read Only");
constexpr IRegistry::HKEY CurrentUser = 0x80000001u;

QString machine(const QString &key)
{
    return QStringLiteral("HKLM\\") + key;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The same file whatever the spelling (case, separators) of its path.
QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath().toLower();
}

} // namespace

class tst_RegistryWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void aStringLosesItsTerminatingZeroOnly();
    void aStringStoredWithoutItsZeroKeepsEveryCharacter();
    void aStringStoredWithTwoZerosLosesOne();
    void anExpandableStringIsReadAsItIsStored();
    void aMissingKeyOrValueReadsAsEmpty();
    void aKeyThatRefusesWritingIsStillRead();
    void systemInformation_data();
    void systemInformation();
    void theProgramReadsTheSystemsRegistry();

private:
    void set(const QString &key, const QString &name, const QString &value,
             const QString &type = QStringLiteral("REG_SZ"));
    bool getKeyValue(const QString &key, const QString &name, QString &value);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<KeptKey> keptLocation1;
    std::unique_ptr<KeptKey> keptLocation2;
    std::unique_ptr<KeptKey> keptTestKey;
    std::unique_ptr<IRegistry> registry;
    SystemProcessLauncher launcher;
    QtFiles files;
    FakeMessageBox messages;
    QString log;
};

void tst_RegistryWindows::initTestCase()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QVERIFY2(QFile::exists(probeProgram()), qPrintable(probeProgram()));
    keptLocation1 = std::make_unique<KeptKey>(machine(Location1), dir->path());
    keptLocation2 = std::make_unique<KeptKey>(machine(Location2), dir->path());
    keptTestKey = std::make_unique<KeptKey>(machine(TestKey), dir->path());
    registry = makeSystemRegistry();
    QVERIFY(registry);
    log = native(dir->filePath(QStringLiteral("probe.log")));
    qputenv("GLIMMERBOX_PROBE_LOG", log.toLocal8Bit());
}

void tst_RegistryWindows::cleanupTestCase()
{
    keptTestKey.reset();
    keptLocation2.reset();
    keptLocation1.reset();
}

void tst_RegistryWindows::init()
{
    for (const QString &key : {Location1, Location2, TestKey})
        reg({QStringLiteral("delete"), machine(key), QStringLiteral("/f")});
    messages.shown.clear();
    QFile::remove(log);
}

void tst_RegistryWindows::set(const QString &key, const QString &name, const QString &value,
                              const QString &type)
{
    const Result added =
        reg({QStringLiteral("add"), machine(key), QStringLiteral("/v"), name, QStringLiteral("/t"),
             type, QStringLiteral("/d"), value, QStringLiteral("/f")});
    QVERIFY2(added.exitCode == 0, qPrintable(added.output));
}

bool tst_RegistryWindows::getKeyValue(const QString &key, const QString &name, QString &value)
{
    SystemInfo info(*registry, launcher, files, messages);
    return info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, key, name, value);
}

void tst_RegistryWindows::aStringLosesItsTerminatingZeroOnly()
{
    const QString text = QStringLiteral("C:\\Program Files\\Common Files\\msinfo32.exe");
    set(TestKey, QStringLiteral("Tool"), text);
    // As the registry hands it over: the text and its terminating zero.
    IRegistry::HKEY key = 0;
    QCOMPARE(registry->RegOpenKeyEx(IRegistry::HKEY_LOCAL_MACHINE, TestKey,
                                    SystemInfo::KeyAllAccess, &key),
             IRegistry::ERROR_SUCCESS);
    std::uint8_t bytes[SystemInfo::BufferSize] = {};
    unsigned long size = sizeof bytes;
    unsigned long type = 0;
    QCOMPARE(registry->RegQueryValueEx(key, QStringLiteral("Tool"), &type, bytes, &size),
             IRegistry::ERROR_SUCCESS);
    QCOMPARE(registry->RegCloseKey(key), IRegistry::ERROR_SUCCESS);
    QCOMPARE(type, IRegistry::REG_SZ);
    QCOMPARE(size, static_cast<unsigned long>(text.size() + 1));
    QCOMPARE(bytes[size - 1], std::uint8_t(0));

    QString value = QStringLiteral("old");
    QVERIFY(getKeyValue(TestKey, QStringLiteral("Tool"), value));
    QCOMPARE(value, text);
}

void tst_RegistryWindows::aStringStoredWithoutItsZeroKeepsEveryCharacter()
{
    QVERIFY(setMachineString(TestKey, QStringLiteral("Bare"), QByteArray("D:\\Tools")));
    QString value;
    QVERIFY(getKeyValue(TestKey, QStringLiteral("Bare"), value));
    QCOMPARE(value, QStringLiteral("D:\\Tools"));
}

void tst_RegistryWindows::aStringStoredWithTwoZerosLosesOne()
{
    QVERIFY(setMachineString(TestKey, QStringLiteral("Padded"), QByteArray("D:\\Tools\0\0", 10)));
    QString value;
    QVERIFY(getKeyValue(TestKey, QStringLiteral("Padded"), value));
    QCOMPARE(value, QStringLiteral("D:\\Tools") + QChar(0));
}

void tst_RegistryWindows::anExpandableStringIsReadAsItIsStored()
{
    set(TestKey, QStringLiteral("Expandable"), QStringLiteral("%CommonProgramFiles%\\msinfo"),
        QStringLiteral("REG_EXPAND_SZ"));
    QString value;
    QVERIFY(getKeyValue(TestKey, QStringLiteral("Expandable"), value));
    QCOMPARE(value, QStringLiteral("%CommonProgramFiles%\\msinfo"));
}

void tst_RegistryWindows::aMissingKeyOrValueReadsAsEmpty()
{
    QString value = QStringLiteral("old");
    QVERIFY(!getKeyValue(TestKey, QStringLiteral("Tool"), value));
    QCOMPARE(value, QString());
    set(TestKey, QStringLiteral("Other"), QStringLiteral("x"));
    value = QStringLiteral("old");
    QVERIFY(!getKeyValue(TestKey, QStringLiteral("Tool"), value));
    QCOMPARE(value, QString());
}

void tst_RegistryWindows::aKeyThatRefusesWritingIsStillRead()
{
    // Everyone may read the key and nobody may write it: the full access is refused to every
    // user, as it is to a standard user below HKEY_LOCAL_MACHINE.
    const QString key = QStringLiteral("HKCU\\") + ReadOnlyKey;
    reg({QStringLiteral("delete"), key, QStringLiteral("/f")});
    const Result added = reg({QStringLiteral("add"), key, QStringLiteral("/v"),
                              QStringLiteral("PATH"), QStringLiteral("/d"),
                              QStringLiteral("C:\\Tools\\msinfo32.exe"), QStringLiteral("/f")});
    QVERIFY2(added.exitCode == 0, qPrintable(added.output));
    const auto removeKey = qScopeGuard([&] {
        setUserKeyAccess(ReadOnlyKey, QStringLiteral("D:P(A;;KA;;;WD)"));
        reg({QStringLiteral("delete"), key, QStringLiteral("/f")});
    });
    QVERIFY(setUserKeyAccess(ReadOnlyKey, QStringLiteral("D:P(A;;KR;;;WD)")));

    IRegistry::HKEY opened = 0;
    const long full =
        registry->RegOpenKeyEx(CurrentUser, ReadOnlyKey, SystemInfo::KeyAllAccess, &opened);
    if (full == IRegistry::ERROR_SUCCESS)
        registry->RegCloseKey(opened);
    if (full != IRegistry::ERROR_ACCESS_DENIED && runsUnderWine())
        QSKIP("this Wine grants the full access that the key's access list withholds (it runs "
              "programs with administrator rights), so a refusal cannot be shown here");
    QCOMPARE(full, IRegistry::ERROR_ACCESS_DENIED);

    SystemInfo info(*registry, launcher, files, messages);
    QString value;
    QVERIFY(info.GetKeyValue(CurrentUser, ReadOnlyKey, QStringLiteral("PATH"), value));
    QCOMPARE(value, QStringLiteral("C:\\Tools\\msinfo32.exe"));
}

void tst_RegistryWindows::systemInformation_data()
{
    // Folders below the test's own temporary folder: "first" holds tool.exe, "second" holds
    // MSINFO32.EXE, "empty" holds nothing. Both are copies of the probe.
    QTest::addColumn<QString>("location1"); // the PATH value, empty for none
    QTest::addColumn<QString>("location2"); // the MSINFO value, empty for none
    QTest::addColumn<QString>("started");   // empty: the message instead
    QTest::newRow("location 1 wins") << "first/tool.exe"
                                     << "second"
                                     << "first/tool.exe";
    QTest::newRow("location 2 with the file") << ""
                                              << "second"
                                              << "second/MSINFO32.EXE";
    QTest::newRow("location 2 without the file") << ""
                                                 << "empty"
                                                 << "";
    QTest::newRow("location 1 names a missing file") << "gone/msinfo32.exe"
                                                     << ""
                                                     << "";
    QTest::newRow("neither") << ""
                             << ""
                             << "";
}

void tst_RegistryWindows::systemInformation()
{
    QFETCH(QString, location1);
    QFETCH(QString, location2);
    QFETCH(QString, started);
    const QDir root(dir->path());
    for (const char *folder : {"first", "second", "empty"})
        QVERIFY(root.mkpath(QLatin1String(folder)));
    for (const char *copy : {"first/tool.exe", "second/MSINFO32.EXE"})
        QVERIFY(QFile::exists(root.filePath(QLatin1String(copy))) ||
                QFile::copy(probeProgram(), root.filePath(QLatin1String(copy))));
    if (!location1.isEmpty())
        set(Location1, QStringLiteral("PATH"), native(root.filePath(location1)));
    if (!location2.isEmpty())
        set(Location2, QStringLiteral("MSINFO"), native(root.filePath(location2)));

    SystemInfo info(*registry, launcher, files, messages);
    info.StartSysInfo();

    if (started.isEmpty()) {
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text,
                 QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(messages.shown[0].style, 0);
        return;
    }
    QVERIFY(messages.shown.isEmpty());
    // A process of its own that this one did not wait for: its line arrives when it has run.
    QTRY_COMPARE_WITH_TIMEOUT(probeStarts(log).size(), 1, 20000);
    const ProbeStart start = probeStarts(log).first();
    QCOMPARE(canonical(start.program), canonical(root.filePath(started)));
    QCOMPARE(start.showState, 1); // SW_SHOWNORMAL
}

void tst_RegistryWindows::theProgramReadsTheSystemsRegistry()
{
    set(Location1, QStringLiteral("PATH"), QStringLiteral("C:\\Tools\\msinfo32.exe"));
    QtPlatform platform({QStringLiteral("glimmerbox")});
    IRegistry *programs = platform.services().registry;
    QVERIFY(programs);
    FakeMessageBox quiet;
    SystemInfo info(*programs, launcher, files, quiet);
    QString value;
    QVERIFY(
        info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, Location1, QStringLiteral("PATH"), value));
    QCOMPARE(value, QStringLiteral("C:\\Tools\\msinfo32.exe"));
}

QTEST_GUILESS_MAIN(tst_RegistryWindows)
#include "tst_registry_windows.moc"
