#include "cDIBsection.h"

#include "RuntimeError.h"

#include <QtGlobal>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <thread>

namespace {

std::int32_t checked(std::int64_t value)
{
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min())
        throw RuntimeError(RuntimeError::Overflow, QString(), QStringLiteral("Overflow"));
    return std::int32_t(value);
}

std::int32_t bytesPerScanLine(std::int32_t width)
{
    return checked(std::int64_t(width) * 3 + 3) & ~3;
}

// Four 32-bit pixels (blue, green, red, unused) into twelve bytes of blue, green, red at a time:
// the copy of a whole screen is the bulk of a save, so it moves words, not bytes. The byte order
// of the words is the machine's, which is little-endian on every system this runs on.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
void packRow(const quint32 *in, std::uint8_t *out, int count)
{
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        const std::uint64_t p0 = in[x], p1 = in[x + 1], p2 = in[x + 2], p3 = in[x + 3];
        const std::uint64_t first =
            (p0 & 0xffffff) | ((p1 & 0xffffff) << 24) | ((p2 & 0xffff) << 48);
        const quint32 last = quint32(((p2 >> 16) & 0xff) | ((p3 & 0xffffff) << 8));
        std::memcpy(out, &first, sizeof first);
        std::memcpy(out + 8, &last, sizeof last);
        out += 12;
    }
    for (; x < count; ++x) {
        const quint32 p = in[x];
        out[0] = std::uint8_t(p);
        out[1] = std::uint8_t(p >> 8);
        out[2] = std::uint8_t(p >> 16);
        out += 3;
    }
}

} // namespace

cDIBsection::cDIBsection() = default;

cDIBsection::~cDIBsection()
{
    ClearUp();
}

std::int32_t cDIBsection::BytesPerScanLine() const
{
    return bytesPerScanLine(m_header.biWidth);
}

bool cDIBsection::CreateDIB(HDC, std::int32_t lWidth, std::int32_t lHeight, Handle &hDib)
{
    m_header = BITMAPINFOHEADER{};
    m_header.biSize = 40;
    m_header.biWidth = lWidth;
    m_header.biHeight = lHeight;
    m_header.biPlanes = 1;
    m_header.biBitCount = 24;
    m_header.biCompression = 0;
    m_header.biSizeImage = checked(std::int64_t(bytesPerScanLine(lWidth)) * lHeight);
    hDib = 0;
    m_bits = nullptr;
    if (lWidth <= 0 || lHeight <= 0)
        return false;
    // A new section starts black, as the system gives it; calloc gets large blocks as zero pages
    // from the system without writing them first.
    Memory memory(static_cast<std::uint8_t *>(std::calloc(size_t(m_header.biSizeImage), 1)));
    if (!memory)
        return false;
    m_bits = memory.get();
    m_memory = std::move(memory);
    hDib = reinterpret_cast<Handle>(m_bits);
    return true;
}

bool cDIBsection::Create(std::int32_t lWidth, std::int32_t lHeight)
{
    ClearUp();
    m_memoryDC = std::make_unique<DeviceContext>();
    if (!CreateDIB(m_memoryDC.get(), lWidth, lHeight, m_hDib)) {
        m_memoryDC.reset();
        return false;
    }
    m_hDC = m_memoryDC.get();
    return true;
}

void cDIBsection::CreateFromPicture(const QImage &picThis)
{
    if (picThis.isNull())
        return;
    if (!Create(picThis.width(), picThis.height()))
        return;
    const DeviceContext source{picThis};
    LoadPictureBlt(&source);
}

void cDIBsection::LoadPictureBlt(HDC lhDC, std::int32_t lSrcLeft, std::int32_t lSrcTop,
                                 std::int32_t lSrcWidth, std::int32_t lSrcHeight,
                                 quint32 /* eRop: a plain copy, the only one there is */)
{
    if (!m_hDC || !lhDC || lhDC->pixels.isNull())
        return;
    const std::int32_t width = lSrcWidth < 0 ? Width() : lSrcWidth;
    const std::int32_t height = lSrcHeight < 0 ? Height() : lSrcHeight;
    const QImage &from = lhDC->pixels;
    const QImage source =
        from.format() == QImage::Format_RGB32 ? from : from.convertToFormat(QImage::Format_RGB32);
    const std::int32_t stride = BytesPerScanLine();
    // Clip to both surfaces: a transfer never reads or writes outside them.
    const int columns = int(std::min<std::int64_t>(
        {std::int64_t(width), std::int64_t(Width()), std::int64_t(source.width()) - lSrcLeft}));
    const int rows = int(std::min<std::int64_t>(
        {std::int64_t(height), std::int64_t(Height()), std::int64_t(source.height()) - lSrcTop}));
    if (columns <= 0 || rows <= 0 || lSrcLeft < 0 || lSrcTop < 0)
        return;
    auto copyRows = [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            // Row 0 of the memory is the bottom row of the picture.
            std::uint8_t *out = m_bits + std::ptrdiff_t(Height() - 1 - y) * stride;
            const auto *in =
                reinterpret_cast<const quint32 *>(source.constScanLine(lSrcTop + y)) + lSrcLeft;
            packRow(in, out, columns);
        }
    };
    // A whole screen is copied by two threads, each into its own rows; the call returns when
    // both are done, so to the caller it is one transfer like any other.
    if (std::int64_t(rows) * columns >= 1 << 20 && std::thread::hardware_concurrency() > 1) {
        std::thread lower(copyRows, rows / 2, rows);
        copyRows(0, rows / 2);
        lower.join();
    } else {
        copyRows(0, rows);
    }
}

void cDIBsection::ClearUp()
{
    if (m_hDC) {
        m_memory.reset();
        m_memoryDC.reset();
    }
    m_hDC = nullptr;
    m_hDib = 0;
    m_bits = nullptr;
}
