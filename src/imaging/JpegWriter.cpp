#include "JpegWriter.h"

#include "RuntimeError.h"
#include "platform/Files.h"
#include "platform/JpegLibrary.h"

void JpegWriter::save(const QImage &picture, const QString &fileName)
{
    // A shot is already a bitmap in memory: the encoder reads its 32-bit pixels where they are,
    // without the time a copy of a whole screen takes.
    const QImage pixels = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    ijl::JPEG_CORE_PROPERTIES jcprops{};
    const int initialised = m_library.ijlInit(&jcprops);
    if (initialised != ijl::IJL_OK)
        throw RuntimeError(
            QStringLiteral("Failed to initialise the IJL library: %1").arg(initialised));

    // The old file is never deleted first: the new one is written beside it and takes its place
    // only when complete, so a failed save leaves the old file as it was.
    int written = ijl::IJL_OK;
    QByteArray jpgFile;
    const ReplaceResult result = m_files.replaceSafely(fileName, [&](const QString &temporary) {
        jpgFile = temporary.toUtf8();
        jcprops.DIBBytes = pixels.constBits();
        jcprops.DIBWidth = pixels.width();
        jcprops.DIBHeight = pixels.height();
        jcprops.DIBPadBytes = std::int32_t(pixels.bytesPerLine()) - 4 * pixels.width();
        jcprops.DIBChannels = 4;
        jcprops.JPGFile = jpgFile.constData();
        jcprops.JPGWidth = pixels.width();
        jcprops.JPGHeight = pixels.height();
        jcprops.jquality = 90;
        written = m_library.ijlWrite(&jcprops, ijl::IJL_JFILE_WRITEWHOLEIMAGE);
        return written == ijl::IJL_OK;
    });
    m_library.ijlFree(&jcprops);
    switch (result.outcome) {
    case ReplaceResult::Replaced:
        return;
    case ReplaceResult::WriterFailed:
        throw RuntimeError(QStringLiteral("Failed to save to JPG %1").arg(written));
    case ReplaceResult::Refused:
    case ReplaceResult::Failed:
        break;
    }
    throw RuntimeError(result.error);
}
