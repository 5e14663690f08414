#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>

#include "JpegWriter.h"
#include "base/Result.h"

class IClipboard;
class IFileDialogs;
class IFiles;
class IMessageBox;

// Save to File and Copy to Clipboard: the current shot, or the marked area of it at full
// resolution, written to a JPEG or bitmap file, or put on the clipboard. The pop-up that says it
// was done (popUp, which returns when it has closed) comes only once it is done.
class ImageOutput
{
public:
    struct Services
    {
        IFileDialogs &dialogs;
        IMessageBox &messages;
        IFiles &files;
        IClipboard &clipboard;
    };
    // What the commands work on: the current slot's picture, whether a grab filled it, and the
    // marked area of it.
    struct Shot
    {
        QImage picture;
        bool filled = false;
        QRect area;
    };

    explicit ImageOutput(Services services)
        : m_s(services)
        , m_jpeg(services.files)
    {}

    // Returns the folder the user saved into; empty when nothing was chosen.
    QString saveToFile(const Shot &shot, const QString &lastFolder,
                       const std::function<void()> &popUp);
    void copyToClipboard(const Shot &shot, const std::function<void()> &popUp);

private:
    bool refused(const Shot &shot, const QString &done, const QString &doing, const QString &title);
    bool mayReplace(const QString &fileName);
    Result<> writeFile(const QString &fileName, int type, const QImage &picture);

    Services m_s;
    JpegWriter m_jpeg;
};
