#include "ImageOutput.h"

#include "FileNames.h"
#include "JpegWriter.h"
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

} // namespace

bool ImageOutput::refused(const Shot &shot, const QString &done, const QString &doing,
                          const QString &title)
{
    // The placeholder of an empty slot is not a shot: it is never saved or copied as one.
    if (!shot.filled || shot.picture.isNull()) {
        m_s.messages.warn(
            title, QStringLiteral("Cannot be %1.\r\nThe selected Screen Shot is Empty.").arg(done));
        return true;
    }
    if (shot.area.isEmpty()) {
        m_s.messages.inform(title, QStringLiteral("The selected area has no width or no height: "
                                                  "there is nothing to %1.")
                                       .arg(doing));
        return true;
    }
    return false;
}

// Whatever stops the file from being written is said before the user is asked to replace it.
bool ImageOutput::mayReplace(const QString &fileName)
{
    const QString native = QDir::toNativeSeparators(fileName);
    if (const Result<> may = m_s.files.mayWrite(fileName); !may) {
        m_s.messages.inform(SaveTitle,
                            QStringLiteral("Cannot replace %1: %2.").arg(native, may.reason()));
        return false;
    }
    if (!m_s.files.exists(fileName))
        return true;
    return m_s.messages.ask(QStringLiteral("Warning - File Already Exists"),
                            native + QStringLiteral("\r\nDo you want to Overwrite it ?"));
}

QString ImageOutput::saveToFile(const Shot &shot, const QString &lastFolder,
                                const std::function<void()> &popUp)
{
    if (refused(shot, QStringLiteral("Saved"), QStringLiteral("save"), SaveTitle))
        return {};
    SaveFileRequest request;
    request.fileName = QStringLiteral("Screen.jpg");
    request.initialFolder = lastFolder;
    // PNG comes after the design's two: lossless like the bitmap, a tenth of its size or less.
    request.filter = QStringLiteral("JPEG Picture Format (*.jpg)|*.jpg|"
                                    "Bitmap Picture Format (*.bmp)|*.bmp|"
                                    "PNG Picture Format (*.png)|*.png");
    request.filterIndex = 1;
    request.title = QStringLiteral("Save to File");
    request.defaultExt = QStringLiteral("*");
    const SaveFileResult chosen = m_s.dialogs.showSave(request);
    if (chosen.cancelled || chosen.fileName.isEmpty())
        return {};

    const QString extension = chosen.filterIndex == 1   ? QStringLiteral(".jpg")
                              : chosen.filterIndex == 3 ? QStringLiteral(".png")
                                                        : QStringLiteral(".bmp");
    const QString fileName = writtenFileName(chosen.fileName, extension);
    // A file of the name actually written is not replaced unasked either.
    if (!mayReplace(chosen.fileName) || (fileName != chosen.fileName && !mayReplace(fileName)))
        return {};
    QString folder = folderOfPath(chosen.fileName);
    const Result<> written = [&]() -> Result<> {
        try {
            return writeFile(fileName, chosen.filterIndex, shot.picture.copy(shot.area));
        } catch (const std::bad_alloc &) {
            return Failure{QStringLiteral("Out of memory")};
        }
    }();
    if (!written) {
        m_s.messages.inform(SaveTitle,
                            QStringLiteral("Cannot save %1:\r\n%2")
                                .arg(QDir::toNativeSeparators(fileName), written.reason()));
        return folder;
    }
    popUp();
    return folder;
}

Result<> ImageOutput::writeFile(const QString &fileName, int type, const QImage &picture)
{
    if (type == 1)
        return m_jpeg.save(picture, fileName);
    return m_s.files.replaceSafely(fileName, [&](const QString &temporary) -> Result<> {
        QImageWriter writer(temporary, type == 3 ? "png" : "bmp");
        if (writer.write(picture))
            return {};
        return Failure{writer.errorString()};
    });
}

void ImageOutput::copyToClipboard(const Shot &shot, const std::function<void()> &popUp)
{
    if (refused(shot, QStringLiteral("Copied"), QStringLiteral("copy"), CopyTitle))
        return;
    if (!m_s.clipboard.setBitmap(shot.picture.copy(shot.area))) {
        m_s.messages.inform(CopyTitle,
                            QStringLiteral("The picture could not be put on the clipboard: another "
                                           "program may be holding it. Please try again."));
        return;
    }
    popUp();
}
