#include "ImageOutput.h"

#include "IntelJPGlibrary.h"
#include "RuntimeError.h"
#include "dialogs/Confirmations.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QImageWriter>

#include <new>

namespace {

const QString SaveTitle = QStringLiteral("Warning - Save to File");
const QString CopyTitle = QStringLiteral("Warning - Copy to Clipboard");

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

} // namespace

// A full stop in a folder's name is not an extension: there the name is kept whole rather than
// cut back into the folder above.
QString writtenFileName(const QString &returned, const QString &extension)
{
    const QString stripped = IntelJPGlibrary::StripExtension(returned);
    for (qsizetype i = stripped.size(); i < returned.size(); ++i)
        if (isSeparator(returned[i]))
            return returned + extension;
    return stripped + extension;
}

bool ImageOutput::refused(const Shot &shot, const QString &done, const QString &doing,
                          const QString &title)
{
    // The placeholder of an empty slot is not a shot: it is never saved or copied as one.
    if (!shot.filled || shot.picture.isNull()) {
        m_s.messages.show(
            QStringLiteral("Cannot be %1.\r\nThe selected Screen Shot is Empty.").arg(done),
            IMessageBox::Exclamation, title);
        return true;
    }
    if (shot.area.isEmpty()) {
        m_s.messages.show(QStringLiteral("The selected area has no width or no height: there is "
                                         "nothing to %1.")
                              .arg(doing),
                          IMessageBox::OkOnly, title);
        return true;
    }
    return false;
}

// Whatever stops the file from being written is said before the user is asked to replace it.
bool ImageOutput::mayReplace(const QString &fileName)
{
    const QString native = QDir::toNativeSeparators(fileName);
    if (const QString reason = m_s.files.refusal(fileName); !reason.isEmpty()) {
        m_s.messages.show(QStringLiteral("Cannot replace %1: %2.").arg(native, reason),
                          IMessageBox::OkOnly, SaveTitle);
        return false;
    }
    if (!m_s.files.exists(fileName))
        return true;
    const int answer =
        m_s.messages.show(native + QStringLiteral("\r\nDo you want to Overwrite it ?"),
                          IMessageBox::YesNo, QStringLiteral("Warning - File Already Exists"));
    return answer == IMessageBox::Yes;
}

QString ImageOutput::SaveToFileMenuItem_Click(const Shot &shot, const QString &LastSaveFolder,
                                              IConfirmations &confirmations)
{
    if (refused(shot, QStringLiteral("Saved"), QStringLiteral("save"), SaveTitle))
        return {};
    SaveFileRequest request;
    request.fileName = QStringLiteral("Screen.jpg");
    request.initialFolder = LastSaveFolder;
    request.filter =
        QStringLiteral("JPEG Picture Format (*.jpg)|*.jpg|Bitmap Picture Format (*.bmp)|*.bmp");
    request.filterIndex = 1;
    request.title = QStringLiteral("Save to File");
    request.defaultExt = QStringLiteral("*");
    const SaveFileResult chosen = m_s.dialogs.showSave(request);
    if (chosen.cancelled || chosen.fileName.isEmpty())
        return {};

    const QString extension =
        chosen.filterIndex == 1 ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
    const QString fileName = writtenFileName(chosen.fileName, extension);
    // A file of the name actually written is not replaced unasked either.
    if (!mayReplace(chosen.fileName) || (fileName != chosen.fileName && !mayReplace(fileName)))
        return {};
    const QString folder = IntelJPGlibrary::FolderOfPath(chosen.fileName);
    try {
        writeFile(fileName, chosen.filterIndex, shot.picture.copy(shot.area));
    } catch (const RuntimeError &error) {
        m_s.messages.show(QStringLiteral("Cannot save %1:\r\n%2")
                              .arg(QDir::toNativeSeparators(fileName), error.description()),
                          IMessageBox::OkOnly, SaveTitle);
        return folder;
    } catch (const std::bad_alloc &) {
        m_s.messages.show(QStringLiteral("Cannot save %1:\r\nOut of memory")
                              .arg(QDir::toNativeSeparators(fileName)),
                          IMessageBox::OkOnly, SaveTitle);
        return folder;
    }
    confirmations.ConfirmSave();
    return folder;
}

void ImageOutput::writeFile(const QString &fileName, int type, const QImage &picture)
{
    if (type == 1) {
        m_s.jpeg.SavePictureToJpg(picture, fileName);
        return;
    }
    QString writerError;
    const ReplaceResult result = m_s.files.replaceSafely(fileName, [&](const QString &temporary) {
        QImageWriter writer(temporary, "bmp");
        if (writer.write(picture))
            return true;
        writerError = writer.errorString();
        return false;
    });
    if (result.outcome != ReplaceResult::Replaced)
        throw RuntimeError(result.outcome == ReplaceResult::WriterFailed ? writerError
                                                                         : result.error);
}

void ImageOutput::SaveToClipboardMenuItem_Click(const Shot &shot, IConfirmations &confirmations)
{
    if (refused(shot, QStringLiteral("Copied"), QStringLiteral("copy"), CopyTitle))
        return;
    if (!m_s.clipboard.setBitmap(shot.picture.copy(shot.area))) {
        m_s.messages.show(QStringLiteral("The picture could not be put on the clipboard: another "
                                         "program may be holding it. Please try again."),
                          IMessageBox::OkOnly, CopyTitle);
        return;
    }
    confirmations.ConfirmClipboard();
}
