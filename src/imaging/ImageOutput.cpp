#include "ImageOutput.h"

#include "IntelJPGlibrary.h"
#include "RuntimeError.h"
#include "capture/CropSelection.h"
#include "dialogs/Confirmations.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/PictureSurface.h"

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

QImage ImageOutput::ComposeCropPicture(const QImage &shot, const CropFractions &f) const
{
    PictureSurface Picture1(m_tppX, m_tppY);
    Picture1.setAutoSize(true);
    Picture1.setPicture(shot);
    PictureSurface Picture2(m_tppX, m_tppY);
    Picture2.setWidth(double(Picture1.width() * f.XRw));
    Picture2.setHeight(double(Picture1.height() * f.YRw));
    const float SW = Picture1.scaleWidth();
    const float SH = Picture1.scaleHeight();
    const float width = SW * f.XRw;
    const float height = SH * f.YRw;
    Picture2.paintPicture(shot, QRectF(0, 0, width, height),
                          QRectF(SW * f.XRa, SH * f.YRa, width, height));
    return Picture2.image();
}

bool ImageOutput::confirmOverwrite(const QString &fileName)
{
    if (!m_s.files.exists(fileName))
        return true;
    const int answer =
        m_s.messages.show(fileName + QStringLiteral("\r\nDo you want to Overwrite it ?"),
                          IMessageBox::YesNo, QStringLiteral("Warning - File Already Exists"));
    return answer == IMessageBox::Yes;
}

QString ImageOutput::SaveToFileMenuItem_Click(const QImage &shot, const CropFractions &f,
                                              const QString &LastSaveFolder,
                                              IConfirmations &confirmations)
{
    if (shot.isNull()) {
        m_s.messages.show(QStringLiteral("No screen shot has been taken yet: there is nothing to "
                                         "save."),
                          IMessageBox::OkOnly, SaveTitle);
        return {};
    }
    const QImage picture = ComposeCropPicture(shot, f);
    if (picture.isNull() || picture.size().isEmpty()) {
        m_s.messages.show(QStringLiteral("The selected area has no width or no height: there is "
                                         "nothing to save."),
                          IMessageBox::OkOnly, SaveTitle);
        return {};
    }

    SaveFileRequest request;
    request.fileName = QStringLiteral("Screen.jpg");
    request.initialFolder = LastSaveFolder;
    request.filter =
        QStringLiteral("JPEG Picture Format (*.jpg)|*.jpg|Bitmap Picture Format (*.bmp)|*.bmp");
    request.filterIndex = 1;
    request.title = QStringLiteral("Save to File");
    request.defaultExt = QStringLiteral("*");
    request.hideReadOnly = true;
    const SaveFileResult chosen = m_s.dialogs.showSave(request);
    if (chosen.cancelled || chosen.fileName.isEmpty())
        return {};

    QString folder;
    try {
        if (!confirmOverwrite(chosen.fileName))
            return {};
        const QString extension =
            chosen.filterIndex == 1 ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
        const QString fileName = writtenFileName(chosen.fileName, extension);
        // A file of the name actually written is not replaced unasked either.
        if (fileName != chosen.fileName && !confirmOverwrite(fileName))
            return {};
        confirmations.ConfirmSave();
        folder = IntelJPGlibrary::FolderOfPath(chosen.fileName);
        writeFile(fileName, chosen.filterIndex, picture);
    } catch (const RuntimeError &error) {
        m_s.messages.show(error.description(), IMessageBox::OkOnly, SaveTitle);
    } catch (const std::bad_alloc &) {
        m_s.messages.show(QStringLiteral("Out of memory"), IMessageBox::OkOnly, SaveTitle);
    }
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
        throw RuntimeError(RuntimeError::PathFileAccessError, m_s.jpeg.source(),
                           result.outcome == ReplaceResult::WriterFailed ? writerError
                                                                         : result.error);
}

void ImageOutput::SaveToClipboardMenuItem_Click(const QImage &shot, const CropFractions &f,
                                                IConfirmations &confirmations)
{
    if (shot.isNull()) {
        m_s.messages.show(QStringLiteral("No screen shot has been taken yet: there is nothing to "
                                         "copy."),
                          IMessageBox::OkOnly, CopyTitle);
        return;
    }
    // An empty area is reported before the pop-up would claim that something was copied. The
    // composed picture has the area's size rounded to whole pixels.
    if (shot.width() * double(f.XRw) < 0.5 || shot.height() * double(f.YRw) < 0.5) {
        m_s.messages.show(QStringLiteral("The selected area has no width or no height: there is "
                                         "nothing to copy."),
                          IMessageBox::OkOnly, CopyTitle);
        return;
    }
    confirmations.ConfirmClipboard();
    if (!m_s.clipboard.setBitmap(ComposeCropPicture(shot, f)))
        m_s.messages.show(QStringLiteral("The picture could not be put on the clipboard: another "
                                         "program may be holding it. Please try again."),
                          IMessageBox::OkOnly, CopyTitle);
}
