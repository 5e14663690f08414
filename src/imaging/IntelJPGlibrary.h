#pragma once

#include <QImage>
#include <QString>


class IFiles;
namespace ijl {
class IJpegLibrary;
}

// Writes pictures as JPEG files through the JPEG library, replacing an existing file only once
// the new one is complete and keeping the old file's times and permissions. Failures are raised
// as RuntimeError: the library's code, or the system's own words for the file's.
class IntelJPGlibrary
{
public:
    IntelJPGlibrary(ijl::IJpegLibrary &library, IFiles &files);

    // At quality 90.
    void SavePictureToJpg(const QImage &picture, const QString &fileName);

    // The path cut before its last full stop (anywhere in the path); unchanged without one.
    static QString StripExtension(const QString &path);
    // The path without one trailing backslash (or slash).
    static QString StripTrailingBackslash(const QString &path);
    // Everything up to and including the last backslash (or slash), after one trailing one is
    // ignored; empty when there is none.
    static QString FolderOfPath(const QString &path);

private:
    ijl::IJpegLibrary &m_library;
    IFiles &m_files;
};
