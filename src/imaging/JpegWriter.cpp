#include "JpegWriter.h"

#include "platform/Files.h"

#include <QFile>

#include <turbojpeg.h>

#include <memory>

Result<> JpegWriter::save(const QImage &picture, const QString &fileName)
{
    // A shot is already a bitmap in memory: the encoder reads its 32-bit pixels where they are,
    // without the time a copy of a whole screen takes.
    const QImage pixels = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    const std::unique_ptr<void, decltype(&tjDestroy)> encoder(tjInitCompress(), &tjDestroy);
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    const int encoded = encoder
                            ? tjCompress2(encoder.get(), pixels.constBits(), pixels.width(),
                                          int(pixels.bytesPerLine()), pixels.height(), TJPF_BGRX,
                                          &jpeg, &size, TJSAMP_420, 90, TJFLAG_ACCURATEDCT)
                            : -1;
    const std::unique_ptr<unsigned char, decltype(&tjFree)> owned(jpeg, &tjFree);
    if (encoded != 0)
        return Failure{QStringLiteral("The JPEG encoder failed: %1")
                           .arg(QString::fromUtf8(tjGetErrorStr2(encoder.get())))};

    // The old file is never deleted first: the new one is written beside it and takes its place
    // only when complete, so a failed save leaves the old file as it was.
    return m_files.replaceSafely(fileName, [&](const QString &temporary) -> Result<> {
        QFile file(temporary);
        const bool written =
            file.open(QIODevice::WriteOnly) &&
            file.write(reinterpret_cast<const char *>(jpeg), qint64(size)) == qint64(size);
        file.close();
        if (written && file.error() == QFileDevice::NoError)
            return {};
        return Failure{file.errorString()};
    });
}
