#pragma once

#include <QImage>
#include <QString>

#include <functional>

class IClipboard;
class IConfirmations;
class IFileDialogs;
class IFiles;
class IMessageBox;
class IntelJPGlibrary;
class PictureSurface;
struct CropState;

// Save to File and Copy to Clipboard: the current shot, or its crop at full resolution, composed
// in Picture2 and written to a JPEG or bitmap file, or put on the clipboard.
class ImageOutput
{
public:
    struct Context
    {
        PictureSurface &Picture1;
        PictureSurface &Picture2;
        CropState &state; // the crop fractions
        QString &LastSaveFolder;
        std::function<void()> ComputeCropFractions;
        std::function<QImage()> currentShot;
        std::function<IConfirmations &()> confirmations;
        IFileDialogs &dialogs;
        IMessageBox &messages;
        IFiles &files;
        IClipboard &clipboard;
        IntelJPGlibrary &jpeg;
    };

    explicit ImageOutput(Context context)
        : m_context(std::move(context))
    {}

    void ComposeCropPicture();
    void SaveToFileMenuItem_Click();
    void SaveToClipboardMenuItem_Click();

private:
    bool cropIsEmpty() const;
    bool confirmOverwrite(const QString &fileName);
    void writeFile(const QString &fileName, int type);

    Context m_context;
};
