#include "JpegLibrary.h"

#include <QFile>

#include <turbojpeg.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>

namespace ijl {

int TurboJpegLibrary::ijlInit(JPEG_CORE_PROPERTIES *jcprops)
{
    if (!jcprops)
        return IJL_INVALID_POINTER;
    *jcprops = JPEG_CORE_PROPERTIES{};
    jcprops->initialised = true;
    jcprops->DIBChannels = 3;
    jcprops->JPGChannels = 3;
    jcprops->jquality = 75;
    return IJL_OK;
}

int TurboJpegLibrary::ijlWrite(JPEG_CORE_PROPERTIES *jcprops, int iotype)
{
    if (!jcprops)
        return IJL_INVALID_POINTER;
    const JPEG_CORE_PROPERTIES &p = *jcprops;
    if (!p.initialised)
        return IJL_NOT_INITIALIZED;
    if (iotype != IJL_JFILE_WRITEWHOLEIMAGE)
        return IJL_UNSUPPORTED_IOTYPE;
    if (!p.DIBBytes || !p.JPGFile || !*p.JPGFile)
        return IJL_INVALID_POINTER;
    const std::int64_t width = p.DIBWidth;
    const std::int64_t height = p.DIBHeight < 0 ? -std::int64_t(p.DIBHeight) : p.DIBHeight;
    const int channels = p.DIBChannels;
    const std::int64_t pitch = width * channels + p.DIBPadBytes;
    if (width <= 0 || height <= 0 || p.DIBPadBytes < 0 || p.DIBPadBytes > 3 ||
        (channels != 3 && channels != 4) || p.JPGChannels != 3 || p.JPGWidth != width ||
        p.JPGHeight != height || p.jquality < 1 || p.jquality > 100 ||
        pitch > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max())
        return IJL_BAD_PARAMETER;

    std::unique_ptr<void, decltype(&tjDestroy)> encoder(tjInitCompress(), &tjDestroy);
    if (!encoder)
        return IJL_MEMORY_ERROR;
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    int flags = TJFLAG_ACCURATEDCT;
    if (p.DIBHeight < 0)
        flags |= TJFLAG_BOTTOMUP;
    const int encoded = tjCompress2(encoder.get(), p.DIBBytes, int(width), int(pitch), int(height),
                                    channels == 4 ? TJPF_BGRX : TJPF_BGR, &jpeg, &size, TJSAMP_420,
                                    p.jquality, flags);
    std::unique_ptr<unsigned char, decltype(&tjFree)> owned(jpeg, &tjFree);
    if (encoded != 0)
        return IJL_ENCODE_ERROR;

    // The name is UTF-8: a folder named in any script can be written to, on every system.
    QFile file(QString::fromUtf8(p.JPGFile));
    if (!file.open(QIODevice::WriteOnly))
        return IJL_FILE_OPEN_ERROR;
    const bool written =
        file.write(reinterpret_cast<const char *>(jpeg), qint64(size)) == qint64(size);
    file.close();
    return written && file.error() == QFileDevice::NoError ? IJL_OK : IJL_FILE_WRITE_ERROR;
}

int TurboJpegLibrary::ijlFree(JPEG_CORE_PROPERTIES *jcprops)
{
    if (!jcprops)
        return IJL_INVALID_POINTER;
    if (!jcprops->initialised)
        return IJL_NOT_INITIALIZED;
    jcprops->initialised = false;
    return IJL_OK;
}

} // namespace ijl
