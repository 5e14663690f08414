// Saving over a file on Windows' own file system: the new file is written beside the old one
// and takes its place only when complete, carrying the old one's attributes and times; a
// read-only file is refused before anything is written, and any failure leaves the old file
// exactly as it was.

#include "FileFacts.h"
#include "WindowsTools.h"
#include "platform/FileReplace.h"

#include <QTemporaryDir>
#include <QtTest>

#include <windows.h>

#include <memory>
#include <string>

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

IFiles::Writer writing(const QByteArray &bytes)
{
    return [bytes](const QString &temporary) {
        QFile file(temporary);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
}

// A moment with a fraction of a second that no clock would give by chance.
FILETIME fileTime(int year, int month, int day, std::uint32_t extraSteps)
{
    SYSTEMTIME system = {};
    system.wYear = WORD(year);
    system.wMonth = WORD(month);
    system.wDay = WORD(day);
    system.wHour = 9;
    system.wMinute = 41;
    system.wSecond = 17;
    FILETIME time = {};
    ::SystemTimeToFileTime(&system, &time);
    ULARGE_INTEGER steps;
    steps.LowPart = time.dwLowDateTime;
    steps.HighPart = time.dwHighDateTime;
    steps.QuadPart += extraSteps;
    return {steps.LowPart, steps.HighPart};
}

bool setTimes(const QString &path, const FILETIME *created, const FILETIME *accessed,
              const FILETIME *written)
{
    const HANDLE file = ::CreateFileW(native(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool set = ::SetFileTime(file, created, accessed, written);
    ::CloseHandle(file);
    return set;
}

WIN32_FILE_ATTRIBUTE_DATA attributeData(const QString &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(native(path).c_str(), GetFileExInfoStandard, &data);
    return data;
}

bool operator==(const FILETIME &a, const FILETIME &b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

} // namespace

class tst_FileReplaceWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theNewFileKeepsTheOldOnesAttributesAndTimes_data();
    void theNewFileKeepsTheOldOnesAttributesAndTimes();
    void theNewFileKeepsTheOldOnesCreationTime();
    void aNewNameGetsTheSystemsOwnAttributesAndTimes();
    void aReadOnlyFileIsRefusedBeforeAnythingIsWritten();
    void aFailedWriteLeavesTheOldFileAsItWas();
    void aRefusedReplacementLeavesTheOldFileAsItWas();

private:
    QStringList entries() const
    {
        return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    std::unique_ptr<QTemporaryDir> dir;
};

void tst_FileReplaceWindows::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void tst_FileReplaceWindows::cleanup()
{
    // Read-only and hidden files are removed like any other.
    for (const QString &name : entries())
        ::SetFileAttributesW(native(dir->filePath(name)).c_str(), FILE_ATTRIBUTE_NORMAL);
    dir.reset();
}

void tst_FileReplaceWindows::theNewFileKeepsTheOldOnesAttributesAndTimes_data()
{
    QTest::addColumn<quint32>("attributes");
    QTest::newRow("archive") << quint32(FILE_ATTRIBUTE_ARCHIVE);
    QTest::newRow("hidden and archive") << quint32(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    QTest::newRow("system, hidden and archive")
        << quint32(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
}

void tst_FileReplaceWindows::theNewFileKeepsTheOldOnesAttributesAndTimes()
{
    QFETCH(quint32, attributes);
    const QString name = dir->filePath(QStringLiteral("Screen.jpg"));
    writeFile(name, "a year old");
    const FILETIME accessed = fileTime(2025, 3, 2, 4321);
    const FILETIME written = fileTime(2025, 3, 1, 1234567);
    QVERIFY(setTimes(name, nullptr, &accessed, &written));
    QVERIFY(::SetFileAttributesW(native(name).c_str(), attributes));
    const FileFacts before = FileFacts::of(name);
    QCOMPARE(before.permissions, quint64(attributes));

    const ReplaceResult result = replaceFileSafely(name, writing("the new picture"));
    QCOMPARE(int(result.outcome), int(ReplaceResult::Replaced));
    // Looked at before it is read: reading sets the last-access time.
    const WIN32_FILE_ATTRIBUTE_DATA after = attributeData(name);
    const FileFacts facts = FileFacts::of(name);
    QCOMPARE(after.dwFileAttributes, DWORD(attributes));
    QVERIFY(after.ftLastWriteTime == written);
    QVERIFY(after.ftLastAccessTime == accessed);
    QVERIFY2(facts.identity != before.identity, "the old file was written over, not replaced");
    QCOMPARE(contents(name), QByteArray("the new picture"));
    QCOMPARE(entries(), QStringList{"Screen.jpg"});
}

void tst_FileReplaceWindows::theNewFileKeepsTheOldOnesCreationTime()
{
    if (WindowsTools::runsUnderWine())
        QSKIP("Wine cannot set a creation time (it reports the last-write time instead)");
    const QString name = dir->filePath(QStringLiteral("Screen.jpg"));
    writeFile(name, "made two years ago");
    const FILETIME created = fileTime(2024, 2, 29, 98765);
    QVERIFY(setTimes(name, &created, nullptr, nullptr));
    QVERIFY(attributeData(name).ftCreationTime == created);
    QCOMPARE(int(replaceFileSafely(name, writing("new")).outcome), int(ReplaceResult::Replaced));
    QVERIFY(attributeData(name).ftCreationTime == created);
}

void tst_FileReplaceWindows::aNewNameGetsTheSystemsOwnAttributesAndTimes()
{
    // What any new file in this folder gets, made the ordinary way.
    const QString reference = dir->filePath(QStringLiteral("reference.bmp"));
    writeFile(reference, "x");
    const QString name = dir->filePath(QStringLiteral("New.jpg"));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-2);
    const ReplaceResult result = replaceFileSafely(name, writing("new"));
    QCOMPARE(int(result.outcome), int(ReplaceResult::Replaced));
    QCOMPARE(attributeData(name).dwFileAttributes, attributeData(reference).dwFileAttributes);
    QVERIFY(QFileInfo(name).lastModified().toUTC() >= before);
    QCOMPARE(contents(name), QByteArray("new"));
    QCOMPARE(entries(), (QStringList{"New.jpg", "reference.bmp"}));
}

void tst_FileReplaceWindows::aReadOnlyFileIsRefusedBeforeAnythingIsWritten()
{
    const QString name = dir->filePath(QStringLiteral("Locked.jpg"));
    writeFile(name, "read only");
    QVERIFY(::SetFileAttributesW(native(name).c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    const FileFacts before = FileFacts::of(name);
    bool written = false;
    const ReplaceResult result = replaceFileSafely(name, [&](const QString &) {
        written = true;
        return true;
    });
    QCOMPARE(int(result.outcome), int(ReplaceResult::Refused));
    QCOMPARE(result.error, readOnlyRefusal());
    QVERIFY(!written);
    QCOMPARE(contents(name), QByteArray("read only"));
    const FileFacts after = FileFacts::of(name);
    QCOMPARE(after.permissions, before.permissions);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.identity, before.identity);
    QCOMPARE(entries(), QStringList{"Locked.jpg"});
}

void tst_FileReplaceWindows::aFailedWriteLeavesTheOldFileAsItWas()
{
    const QString name = dir->filePath(QStringLiteral("Precious.jpg"));
    const QByteArray old("\xff\xd8 the only copy \x00\x01\x02", 20);
    writeFile(name, old);
    QVERIFY(
        ::SetFileAttributesW(native(name).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const FileFacts before = FileFacts::of(name);
    // Half a file, then the writer gives up, as on a full disk.
    const ReplaceResult result = replaceFileSafely(name, [](const QString &temporary) {
        QFile file(temporary);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(4096, '\x42'));
        return false;
    });
    QCOMPARE(int(result.outcome), int(ReplaceResult::WriterFailed));
    QCOMPARE(contents(name), old);
    const FileFacts after = FileFacts::of(name);
    QCOMPARE(after.permissions, before.permissions);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.identity, before.identity);
    QCOMPARE(entries(), QStringList{"Precious.jpg"});
}

void tst_FileReplaceWindows::aRefusedReplacementLeavesTheOldFileAsItWas()
{
    const QString name = dir->filePath(QStringLiteral("Open.jpg"));
    writeFile(name, "held open elsewhere");
    const FileFacts before = FileFacts::of(name);
    // Another program has it open and does not let it be deleted or renamed meanwhile.
    const HANDLE holder = ::CreateFileW(native(name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(holder != INVALID_HANDLE_VALUE);
    const ReplaceResult result = replaceFileSafely(name, writing("new"));
    ::CloseHandle(holder);
    QCOMPARE(int(result.outcome), int(ReplaceResult::Failed));
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(contents(name), QByteArray("held open elsewhere"));
    QCOMPARE(FileFacts::of(name).identity, before.identity);
    QCOMPARE(entries(), QStringList{"Open.jpg"});
}

QTEST_GUILESS_MAIN(tst_FileReplaceWindows)
#include "tst_filereplace_windows.moc"
