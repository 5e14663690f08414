#pragma once

#include "base/Result.h"

#include <QImage>
#include <QString>

class IFiles;

// Writes pictures as JPEG files over libjpeg-turbo: baseline, quality 90, colour subsampled 4:2:0,
// the accurate DCT. An existing file is replaced only once the new one is complete, keeping the
// old file's times and permissions. A failure says why: the encoder's words, or the system's own
// for the file's.
class JpegWriter
{
public:
    explicit JpegWriter(IFiles &files)
        : m_files(files)
    {}

    Result<> save(const QImage &picture, const QString &fileName);

private:
    IFiles &m_files;
};
