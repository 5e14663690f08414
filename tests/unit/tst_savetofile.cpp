// Save to File and Copy to Clipboard through a scripted save dialog, message box and pop-up, on
// real files: what is written, under which name, what is asked, and that no file is ever lost.

#include "Fakes.h"
#include "FileFacts.h"
#include "JpegCheck.h"
#include "StartedForm.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/JpegLibrary.h"
#include "platform/PictureBox.h"
#include "platform/qt/QtServices.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// An encoder that writes half a file and then fails, as on a full disk.
class HalfWritingLibrary final : public ijl::IJpegLibrary
{
public:
    int ijlInit(ijl::JPEG_CORE_PROPERTIES *p) override { return real.ijlInit(p); }
    int ijlWrite(ijl::JPEG_CORE_PROPERTIES *p, int) override
    {
        QFile out(QString::fromLocal8Bit(p->JPGFile));
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray(4096, '\x42'));
        return ijl::IJL_FILE_WRITE_ERROR;
    }
    int ijlFree(ijl::JPEG_CORE_PROPERTIES *p) override { return real.ijlFree(p); }
    ijl::TurboJpegLibrary real;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class tst_SaveToFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void wholeShotAsJpegWithTheDialogAsDesigned();
    void cropIsSavedPixelExactAsBitmap();
    void theSelectedTypeDecidesTheExtension();
    void cancelOrEmptyNameWritesNothing();
    void noToTheQuestionKeepsTheOldFile();
    void theWrittenNameIsAskedAboutToo();
    void lastSaveFolder_data();
    void lastSaveFolder();
    void replacingKeepsTimesAndPermissions();
    void failedWriteKeepsTheOldFile();
    void readOnlyTargetIsNotReplaced();
    void emptyCropSavesAndCopiesNothing();
    void copyPutsTheCropOnTheClipboard();
    void refusedClipboardIsReported();

private:
    void choose(const QString &name, int type = 1);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<QtFiles> files;
    std::unique_ptr<GlimmerboxForm> form;
    FakeConfirmations *confirmations = nullptr;
    QImage shot;
};

void tst_SaveToFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    shot = TestPattern::make(QSize(1000, 500), 4);
    fakes = std::make_unique<FakeServices>();
    fakes->screen.screen = shot;
    files = std::make_unique<QtFiles>();
    Services services = fakes->services();
    services.files = files.get();
    form = startedForm(services, confirmations);
}

void tst_SaveToFile::cleanup()
{
    form.reset();
    files.reset();
    fakes.reset();
    dir.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_SaveToFile::choose(const QString &name, int type)
{
    fakes->dialogs.answer.cancelled = false;
    fakes->dialogs.answer.fileName = name;
    fakes->dialogs.answer.filterIndex = type;
}

void tst_SaveToFile::wholeShotAsJpegWithTheDialogAsDesigned()
{
    const QString name = dir->filePath(QStringLiteral("Screen.jpg"));
    choose(name);
    form->SaveToFileMenuItem_Click();
    QCOMPARE(fakes->dialogs.requests.size(), 1);
    const SaveFileRequest &r = fakes->dialogs.requests.first();
    QCOMPARE(r.title, QStringLiteral("Save to File"));
    QCOMPARE(r.fileName, QStringLiteral("Screen.jpg"));
    QCOMPARE(r.initialFolder, QStringLiteral("/opt/glimmerbox"));
    QCOMPARE(
        r.filter,
        QStringLiteral("JPEG Picture Format (*.jpg)|*.jpg|Bitmap Picture Format (*.bmp)|*.bmp"));
    QCOMPARE(r.filterIndex, 1);
    QCOMPARE(r.defaultExt, QStringLiteral("*"));
    QVERIFY(r.hideReadOnly);
    QCOMPARE(confirmations->shown, QStringList{"Saved to File"});
    QVERIFY(fakes->messages.shown.isEmpty());
    const JpegCheck::Decoded decoded = JpegCheck::decode(name);
    QCOMPARE(decoded.image.size(), QSize(1000, 500));
    QVERIFY(TestPattern::meanDifference(decoded.image, shot) < 6);
    QCOMPARE(decoded.quantTables, JpegCheck::referenceTables(90));
    // A new file gets the ordinary permissions, not a temporary file's.
    QVERIFY(QFileInfo(name).permission(QFileDevice::ReadOther));
}

void tst_SaveToFile::cropIsSavedPixelExactAsBitmap()
{
    // The crop from (100, 50) to (300, 150) on a 1000 x 500 area: a tenth in, a fifth wide and
    // high. Here the same fractions on the preview's own drawing area.
    const float W = form->CurrentImage1().surface().scaleWidth();
    const float H = form->CurrentImage1().surface().scaleHeight();
    form->x1 = W / 10;
    form->x2 = 3 * W / 10;
    form->y1 = H / 10;
    form->y2 = 3 * H / 10;
    const QString name = dir->filePath(QStringLiteral("crop.bmp"));
    choose(name, 2);
    form->SaveToFileMenuItem_Click();
    QVERIFY(form->XRa == 0.1f && form->YRa == 0.1f && form->XRw == 0.2f && form->YRw == 0.2f);
    const QImage saved(name, "bmp");
    QCOMPARE(saved.size(), QSize(200, 100));
    QCOMPARE(TestPattern::differingPixels(saved, shot.copy(100, 50, 200, 100)), 0);
}

void tst_SaveToFile::theSelectedTypeDecidesTheExtension()
{
    choose(dir->filePath(QStringLiteral("shot.jpg")), 2);
    form->SaveToFileMenuItem_Click();
    QVERIFY(QFile::exists(dir->filePath(QStringLiteral("shot.bmp"))));
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("shot.jpg"))));
    QCOMPARE(QImage(dir->filePath(QStringLiteral("shot.bmp"))).size(), QSize(1000, 500));
    // A dot in a folder's name is not an extension.
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("my.pictures")));
    choose(dir->filePath(QStringLiteral("my.pictures/shot")), 1);
    form->SaveToFileMenuItem_Click();
    QVERIFY(QFile::exists(dir->filePath(QStringLiteral("my.pictures/shot.jpg"))));
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("my.jpg"))));
}

void tst_SaveToFile::cancelOrEmptyNameWritesNothing()
{
    fakes->dialogs.answer = SaveFileResult{};
    form->SaveToFileMenuItem_Click();
    choose(QString());
    form->SaveToFileMenuItem_Click();
    QVERIFY(confirmations->shown.isEmpty());
    QVERIFY(fakes->messages.shown.isEmpty());
    QCOMPARE(form->LastSaveFolder, QStringLiteral("/opt/glimmerbox"));
    QVERIFY(QDir(dir->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void tst_SaveToFile::noToTheQuestionKeepsTheOldFile()
{
    const QString name = dir->filePath(QStringLiteral("old.jpg"));
    writeFile(name, "old contents");
    choose(name);
    fakes->messages.answers = {IMessageBox::No};
    form->SaveToFileMenuItem_Click();
    QCOMPARE(fakes->messages.shown.size(), 1);
    QCOMPARE(fakes->messages.shown[0].text,
             name + QStringLiteral("\r\nDo you want to Overwrite it ?"));
    QCOMPARE(fakes->messages.shown[0].title, QStringLiteral("Warning - File Already Exists"));
    QCOMPARE(fakes->messages.shown[0].style, 4);
    QCOMPARE(contents(name), QByteArray("old contents"));
    QVERIFY(confirmations->shown.isEmpty());
    // Yes replaces it.
    fakes->messages.answers = {IMessageBox::Yes};
    form->SaveToFileMenuItem_Click();
    QVERIFY(!JpegCheck::decode(name).image.isNull());
}

void tst_SaveToFile::theWrittenNameIsAskedAboutToo()
{
    writeFile(dir->filePath(QStringLiteral("shot.bmp")), "precious");
    choose(dir->filePath(QStringLiteral("shot.jpg")), 2);
    form->SaveToFileMenuItem_Click();
    QCOMPARE(fakes->messages.shown.size(), 1);
    QCOMPARE(fakes->messages.shown[0].text,
             dir->filePath(QStringLiteral("shot.bmp")) +
                 QStringLiteral("\r\nDo you want to Overwrite it ?"));
    QCOMPARE(contents(dir->filePath(QStringLiteral("shot.bmp"))), QByteArray("precious"));
    QVERIFY(confirmations->shown.isEmpty());
}

void tst_SaveToFile::lastSaveFolder_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("folder");
    QTest::newRow("windows") << "C:\\Shots\\Screen.jpg"
                             << "C:\\Shots\\";
    QTest::newRow("linux") << "/home/u/Shots/Screen.jpg"
                           << "/home/u/Shots/";
}

void tst_SaveToFile::lastSaveFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, folder);
    // Nothing is written for these names: the scripted file service only records them.
    Services services = fakes->services();
    form = std::make_unique<GlimmerboxForm>(services);
    form->setConfirmations(std::make_unique<FakeConfirmations>());
    form->startUp();
    choose(chosen);
    form->SaveToFileMenuItem_Click();
    QCOMPARE(form->LastSaveFolder, folder);
    QCOMPARE(fakes->files.replaced, QStringList{chosen});
    // The next save starts there.
    form->SaveToFileMenuItem_Click();
    QCOMPARE(fakes->dialogs.requests.last().initialFolder, folder);
}

void tst_SaveToFile::replacingKeepsTimesAndPermissions()
{
    const QString name = dir->filePath(QStringLiteral("kept.jpg"));
    writeFile(name, "a year old");
    QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadGroup));
    const QDateTime yearAgo = QDateTime::currentDateTime().addYears(-1).addSecs(-17);
    {
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(yearAgo, QFileDevice::FileModificationTime));
        QVERIFY(file.setFileTime(yearAgo.addDays(1), QFileDevice::FileAccessTime));
    }
    const FileFacts before = FileFacts::of(name);
    QVERIFY(before.exists);
    choose(name);
    fakes->messages.answers = {IMessageBox::Yes};
    form->SaveToFileMenuItem_Click();
    // Looked at before it is read: reading it sets its access time.
    const FileFacts after = FileFacts::of(name);
    QVERIFY(!JpegCheck::decode(name).image.isNull());
    QCOMPARE(after.permissions, before.permissions);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.accessed / 1000000000, before.accessed / 1000000000);
    QVERIFY(after.identity != before.identity); // a new file took its place
}

void tst_SaveToFile::failedWriteKeepsTheOldFile()
{
    form->setJpegLibrary(std::make_unique<HalfWritingLibrary>());
    const QString name = dir->filePath(QStringLiteral("precious.jpg"));
    writeFile(name, "the only copy");
    choose(name);
    fakes->messages.answers = {IMessageBox::Yes};
    form->SaveToFileMenuItem_Click();
    QCOMPARE(confirmations->shown, QStringList{"Saved to File"});
    QCOMPARE(fakes->messages.shown.size(), 2);
    QCOMPARE(fakes->messages.shown[1].text, QStringLiteral("Failed to save to JPG -9"));
    QCOMPARE(fakes->messages.shown[1].title, QStringLiteral("Warning - Save to File"));
    QCOMPARE(fakes->messages.shown[1].style, 0);
    QCOMPARE(contents(name), QByteArray("the only copy"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"precious.jpg"});
}

void tst_SaveToFile::readOnlyTargetIsNotReplaced()
{
    for (int type : {1, 2}) {
        const QString name =
            dir->filePath(type == 1 ? QStringLiteral("locked.jpg") : QStringLiteral("locked.bmp"));
        writeFile(name, "read only");
        QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        choose(name, type);
        fakes->messages.shown.clear();
        fakes->messages.answers = {IMessageBox::Yes};
        form->SaveToFileMenuItem_Click();
        QCOMPARE(fakes->messages.shown.size(), 2);
        QCOMPARE(fakes->messages.shown[1].text, readOnlyRefusal());
        QCOMPARE(fakes->messages.shown[1].title, QStringLiteral("Warning - Save to File"));
        QCOMPARE(contents(name), QByteArray("read only"));
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void tst_SaveToFile::emptyCropSavesAndCopiesNothing()
{
    const float H = form->CurrentImage1().surface().scaleHeight();
    form->x1 = form->x2 = 1500; // no width
    form->y1 = 0;
    form->y2 = H;
    choose(dir->filePath(QStringLiteral("never.jpg")));
    form->SaveToFileMenuItem_Click();
    form->SaveToClipboardMenuItem_Click();
    QVERIFY(fakes->dialogs.requests.isEmpty());
    QVERIFY(confirmations->shown.isEmpty());
    QCOMPARE(fakes->clipboard.sets, 0);
    QCOMPARE(fakes->messages.shown.size(), 2);
    QCOMPARE(fakes->messages.shown[0].title, QStringLiteral("Warning - Save to File"));
    QCOMPARE(fakes->messages.shown[1].title, QStringLiteral("Warning - Copy to Clipboard"));
    QVERIFY(QDir(dir->path()).isEmpty());
}

void tst_SaveToFile::copyPutsTheCropOnTheClipboard()
{
    bool clipboardUntouchedAtPopup = false;
    confirmations->whileShown = [&](const QString &) {
        clipboardUntouchedAtPopup = fakes->clipboard.sets == 0;
    };
    form->SaveToClipboardMenuItem_Click();
    QVERIFY(clipboardUntouchedAtPopup);
    QCOMPARE(confirmations->shown, QStringList{"Copied to Clipboard"});
    QCOMPARE(fakes->clipboard.sets, 1);
    QCOMPARE(TestPattern::differingPixels(fakes->clipboard.content, shot), 0);

    const float W = form->CurrentImage1().surface().scaleWidth();
    const float H = form->CurrentImage1().surface().scaleHeight();
    form->x1 = W / 2;
    form->x2 = W;
    form->y1 = 0;
    form->y2 = H / 2;
    form->SaveToClipboardMenuItem_Click();
    QCOMPARE(TestPattern::differingPixels(fakes->clipboard.content, shot.copy(500, 0, 500, 250)),
             0);
}

void tst_SaveToFile::refusedClipboardIsReported()
{
    fakes->clipboard.accept = false;
    form->SaveToClipboardMenuItem_Click();
    QCOMPARE(fakes->messages.shown.size(), 1);
    QCOMPARE(fakes->messages.shown[0].title, QStringLiteral("Warning - Copy to Clipboard"));
    // The program goes on: the next grab works.
    form->GrabButton_Click();
    QCOMPARE(form->CurrentShotIndex(), 1);
}

QTEST_MAIN(tst_SaveToFile)
#include "tst_savetofile.moc"
