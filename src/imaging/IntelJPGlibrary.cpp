#include "IntelJPGlibrary.h"

#include "RuntimeError.h"
#include "cDIBsection.h"
#include "platform/Files.h"
#include "platform/JpegLibrary.h"

#include <QFile>

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

} // namespace

IntelJPGlibrary::IntelJPGlibrary(ijl::IJpegLibrary &library, IFiles &files, const QString &exeName)
    : m_library(library)
    , m_files(files)
    , m_exeName(exeName)
{}

QString IntelJPGlibrary::source() const
{
    return m_exeName + QStringLiteral(".mIntelJPEGLibrary");
}

bool IntelJPGlibrary::SavePictureToJpg(const QImage &picture, const QString &fileName)
{
    // A shot is already a bitmap in memory: the encoder reads its 32-bit pixels where they are,
    // which gives the same file as a 24-bit copy would, without the time the copy takes.
    const QImage pixels = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    return writeJpg({pixels.constBits(), pixels.width(), pixels.height(),
                     std::int32_t(pixels.bytesPerLine() - 4 * pixels.width()), 4},
                    fileName, 90);
}

bool IntelJPGlibrary::SaveDibToJpg(cDIBsection &dib, const QString &fileName, std::int32_t quality)
{
    return writeJpg({dib.DIBSectionBitsPtr(), dib.Width(), -dib.Height(),
                     dib.BytesPerScanLine() - 3 * dib.Width(), 3},
                    fileName, quality);
}

bool IntelJPGlibrary::writeJpg(const Pixels &pixels, const QString &fileName, std::int32_t quality)
{
    ijl::JPEG_CORE_PROPERTIES jcprops{};
    const int initialised = m_library.ijlInit(&jcprops);
    if (initialised != ijl::IJL_OK)
        throw RuntimeError(
            ErrorNumber, source(),
            QStringLiteral("Failed to initialise the IJL library: %1").arg(initialised));

    // The old file is never deleted first: the new one is written beside it and takes its place
    // only when complete, so a failed save leaves the old file as it was.
    int written = ijl::IJL_OK;
    QByteArray jpgFile;
    const ReplaceResult result = m_files.replaceSafely(fileName, [&](const QString &temporary) {
        jpgFile = temporary.toUtf8();
        jcprops.DIBBytes = pixels.bytes;
        jcprops.DIBWidth = pixels.width;
        jcprops.DIBHeight = pixels.height; // bottom-up rows: the file still shows the top first
        jcprops.DIBPadBytes = pixels.padBytes;
        jcprops.DIBChannels = pixels.channels;
        jcprops.JPGFile = jpgFile.constData();
        jcprops.JPGWidth = pixels.width;
        jcprops.JPGHeight = pixels.height < 0 ? -pixels.height : pixels.height;
        jcprops.jquality = quality;
        written = m_library.ijlWrite(&jcprops, ijl::IJL_JFILE_WRITEWHOLEIMAGE);
        return written == ijl::IJL_OK;
    });
    m_library.ijlFree(&jcprops);
    switch (result.outcome) {
    case ReplaceResult::Replaced:
        return true;
    case ReplaceResult::WriterFailed:
        throw RuntimeError(ErrorNumber, source(),
                           QStringLiteral("Failed to save to JPG %1").arg(written));
    case ReplaceResult::Refused:
    case ReplaceResult::Failed:
        break;
    }
    throw RuntimeError(RuntimeError::PathFileAccessError, source(), result.error);
}

QString IntelJPGlibrary::StripExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? path : path.left(dot);
}

QString IntelJPGlibrary::StripTrailingBackslash(const QString &path)
{
    if (!path.isEmpty() && isSeparator(path.back()))
        return path.left(path.size() - 1);
    return path;
}

QString IntelJPGlibrary::FolderOfPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString stripped = StripTrailingBackslash(path);
    for (qsizetype i = stripped.size() - 1; i >= 0; --i)
        if (isSeparator(stripped[i]))
            return stripped.left(i + 1);
    return {};
}
