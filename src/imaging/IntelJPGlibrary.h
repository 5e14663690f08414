#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

class IFiles;
class cDIBsection;
namespace ijl {
class IJpegLibrary;
}

// Writes pictures as JPEG files through the JPEG library, replacing an existing file only once
// the new one is complete and keeping the old file's times and permissions. Failures are raised
// as RuntimeError: number 26001 for the library's, the system's own words for the file's.
class IntelJPGlibrary
{
public:
    static constexpr int ErrorNumber = 26001;

    IntelJPGlibrary(ijl::IJpegLibrary &library, IFiles &files, const QString &exeName);

    bool SavePictureToJpg(const QImage &picture, const QString &fileName);
    bool SaveDibToJpg(cDIBsection &dib, const QString &fileName, std::int32_t quality);

    // The path cut before its last full stop (anywhere in the path); unchanged without one.
    static QString StripExtension(const QString &path);
    // The path without one trailing backslash (or slash).
    static QString StripTrailingBackslash(const QString &path);
    // Everything up to and including the last backslash (or slash), after one trailing one is
    // ignored; empty when there is none.
    static QString FolderOfPath(const QString &path);

    // The source of the errors raised here.
    QString source() const;

private:
    struct Pixels
    {
        const std::uint8_t *bytes;
        std::int32_t width, height; // height < 0: rows stored bottom-up
        std::int32_t padBytes, channels;
    };
    bool writeJpg(const Pixels &pixels, const QString &fileName, std::int32_t quality);

    ijl::IJpegLibrary &m_library;
    IFiles &m_files;
    QString m_exeName;
};
