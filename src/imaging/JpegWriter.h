#pragma once

#include <QImage>
#include <QString>

class IFiles;
namespace ijl {
class IJpegLibrary;
}

// Writes pictures as JPEG files at quality 90 through the JPEG library, replacing an existing
// file only once the new one is complete and keeping the old file's times and permissions.
// Failures are raised as RuntimeError: the library's code, or the system's own words for the
// file's.
class JpegWriter
{
public:
    JpegWriter(ijl::IJpegLibrary &library, IFiles &files)
        : m_library(library)
        , m_files(files)
    {}

    void save(const QImage &picture, const QString &fileName);

private:
    ijl::IJpegLibrary &m_library;
    IFiles &m_files;
};
