#pragma once

#include <QImage>
#include <QString>

class IClipboard;
class IConfirmations;
class IFileDialogs;
class IFiles;
class IMessageBox;
class IntelJPGlibrary;
struct CropFractions;

// The name a file of the chosen type is written under: the returned name without its extension,
// then the type's.
QString writtenFileName(const QString &returned, const QString &extension);

// Save to File and Copy to Clipboard: the current shot, or its crop at full resolution, written
// to a JPEG or bitmap file, or put on the clipboard.
class ImageOutput
{
public:
    struct Services
    {
        IFileDialogs &dialogs;
        IMessageBox &messages;
        IFiles &files;
        IClipboard &clipboard;
        IntelJPGlibrary &jpeg;
    };

    ImageOutput(Services services, float twipsPerPixelX, float twipsPerPixelY)
        : m_s(services)
        , m_tppX(twipsPerPixelX)
        , m_tppY(twipsPerPixelY)
    {}

    QImage ComposeCropPicture(const QImage &shot, const CropFractions &fractions) const;
    // Returns the folder the user saved into; empty when nothing was chosen.
    QString SaveToFileMenuItem_Click(const QImage &shot, const CropFractions &fractions,
                                     const QString &LastSaveFolder, IConfirmations &confirmations);
    void SaveToClipboardMenuItem_Click(const QImage &shot, const CropFractions &fractions,
                                       IConfirmations &confirmations);

private:
    bool confirmOverwrite(const QString &fileName);
    void writeFile(const QString &fileName, int type, const QImage &picture);

    Services m_s;
    float m_tppX;
    float m_tppY;
};
