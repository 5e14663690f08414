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

// The name a file of the chosen type is written under: the returned name without its extension,
// then the type's. A full stop in a folder's name is not an extension: there the name is kept
// whole rather than cut back into the folder above.
QString writtenName(const QString &returned, const QString &extension)
{
    const QString stripped = IntelJPGlibrary::StripExtension(returned);
    for (qsizetype i = stripped.size(); i < returned.size(); ++i)
        if (isSeparator(returned[i]))
            return returned + extension;
    return stripped + extension;
}

} // namespace

void ImageOutput::ComposeCropPicture()
{
    Context &c = m_context;
    c.Picture1.setPicture(c.currentShot());
    c.Picture2.setPicture(QImage());
    c.Picture2.setWidth(double(c.Picture1.width() * c.state.XRw));
    c.Picture2.setHeight(double(c.Picture1.height() * c.state.YRw));
    const float SW = c.Picture1.scaleWidth();
    const float SH = c.Picture1.scaleHeight();
    const float width = SW * c.state.XRw;
    const float height = SH * c.state.YRw;
    c.Picture2.paintPicture(c.Picture1.image(), QRectF(0, 0, width, height),
                            QRectF(SW * c.state.XRa, SH * c.state.YRa, width, height));
}

bool ImageOutput::cropIsEmpty() const
{
    return m_context.Picture2.drawingSize().isEmpty();
}

bool ImageOutput::confirmOverwrite(const QString &fileName)
{
    if (!m_context.files.exists(fileName))
        return true;
    const int answer = m_context.messages.show(
        fileName + QStringLiteral("\r\nDo you want to Overwrite it ?"), IMessageBox::YesNo,
        QStringLiteral("Warning - File Already Exists"));
    return answer == IMessageBox::Yes;
}

void ImageOutput::SaveToFileMenuItem_Click()
{
    Context &c = m_context;
    if (c.currentShot().isNull()) {
        c.messages.show(QStringLiteral("No screen shot has been taken yet: there is nothing to "
                                       "save."),
                        IMessageBox::OkOnly, SaveTitle);
        return;
    }
    c.ComputeCropFractions();
    ComposeCropPicture();
    if (cropIsEmpty()) {
        c.messages.show(QStringLiteral("The selected area has no width or no height: there is "
                                       "nothing to save."),
                        IMessageBox::OkOnly, SaveTitle);
        return;
    }

    SaveFileRequest request;
    request.fileName = QStringLiteral("Screen.jpg");
    request.initialFolder = c.LastSaveFolder;
    request.filter =
        QStringLiteral("JPEG Picture Format (*.jpg)|*.jpg|Bitmap Picture Format (*.bmp)|*.bmp");
    request.filterIndex = 1;
    request.title = QStringLiteral("Save to File");
    request.defaultExt = QStringLiteral("*");
    request.hideReadOnly = true;
    const SaveFileResult chosen = c.dialogs.showSave(request);
    if (chosen.cancelled || chosen.fileName.isEmpty())
        return;

    try {
        if (!confirmOverwrite(chosen.fileName))
            return;
        const QString extension =
            chosen.filterIndex == 1 ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
        const QString fileName = writtenName(chosen.fileName, extension);
        // A file of the name actually written is not replaced unasked either.
        if (fileName != chosen.fileName && !confirmOverwrite(fileName))
            return;
        c.confirmations().ConfirmSave();
        c.LastSaveFolder = IntelJPGlibrary::FolderOfPath(chosen.fileName);
        writeFile(fileName, chosen.filterIndex);
    } catch (const RuntimeError &error) {
        c.messages.show(error.description(), IMessageBox::OkOnly, SaveTitle);
    } catch (const std::bad_alloc &) {
        c.messages.show(QStringLiteral("Out of memory"), IMessageBox::OkOnly, SaveTitle);
    }
}

void ImageOutput::writeFile(const QString &fileName, int type)
{
    Context &c = m_context;
    c.Picture2.setPicture(c.Picture2.image());
    const QImage picture = c.Picture2.picture();
    if (type == 1) {
        c.jpeg.SavePictureToJpg(picture, fileName);
        return;
    }
    QString writerError;
    const ReplaceResult result = c.files.replaceSafely(fileName, [&](const QString &temporary) {
        QImageWriter writer(temporary, "bmp");
        if (writer.write(picture))
            return true;
        writerError = writer.errorString();
        return false;
    });
    if (result.outcome != ReplaceResult::Replaced)
        throw RuntimeError(RuntimeError::PathFileAccessError, c.jpeg.source(),
                           result.outcome == ReplaceResult::WriterFailed ? writerError
                                                                         : result.error);
}

void ImageOutput::SaveToClipboardMenuItem_Click()
{
    Context &c = m_context;
    const QImage shot = c.currentShot();
    if (shot.isNull()) {
        c.messages.show(QStringLiteral("No screen shot has been taken yet: there is nothing to "
                                       "copy."),
                        IMessageBox::OkOnly, CopyTitle);
        return;
    }
    c.ComputeCropFractions();
    // An empty area is reported before the pop-up would claim that something was copied. The
    // composed picture has the area's size rounded to whole pixels.
    if (shot.width() * double(c.state.XRw) < 0.5 || shot.height() * double(c.state.YRw) < 0.5) {
        c.messages.show(QStringLiteral("The selected area has no width or no height: there is "
                                       "nothing to copy."),
                        IMessageBox::OkOnly, CopyTitle);
        return;
    }
    c.confirmations().ConfirmClipboard();
    ComposeCropPicture();
    c.Picture2.setPicture(c.Picture2.image());
    if (!c.clipboard.setBitmap(c.Picture2.picture()))
        c.messages.show(QStringLiteral("The picture could not be put on the clipboard: another "
                                       "program may be holding it. Please try again."),
                        IMessageBox::OkOnly, CopyTitle);
}
