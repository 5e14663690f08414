#pragma once

#include "platform/DeviceContext.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>

// A 24-bit device-independent bitmap: blue, green, red bytes, rows bottom-up, each row padded to
// BytesPerScanLine bytes, in memory this object owns. It can be filled from any device context
// by a one-to-one block transfer, and its bytes read directly through DIBSectionBitsPtr.
class cDIBsection
{
public:
    struct BITMAPINFOHEADER
    {
        std::int32_t biSize = 0;
        std::int32_t biWidth = 0;
        std::int32_t biHeight = 0;
        std::int16_t biPlanes = 0;
        std::int16_t biBitCount = 0;
        std::int32_t biCompression = 0;
        std::int32_t biSizeImage = 0;
        std::int32_t biXPelsPerMeter = 0;
        std::int32_t biYPelsPerMeter = 0;
        std::int32_t biClrUsed = 0;
        std::int32_t biClrImportant = 0;
    };
    using Handle = std::intptr_t;
    // The class's own name for a device-context handle: on Windows the global HDC is the
    // system's, which Qt's headers declare.
    using HDC = const DeviceContext *;

    cDIBsection();
    ~cDIBsection();
    cDIBsection(const cDIBsection &) = delete;
    cDIBsection &operator=(const cDIBsection &) = delete;

    // Fills the header for lWidth x lHeight at 24 bits and makes the pixel memory; its handle goes
    // to hDib. Sizes whose arithmetic does not fit 32 bits raise an overflow error.
    bool CreateDIB(HDC lhDC, std::int32_t lWidth, std::int32_t lHeight, Handle &hDib);
    // Makes the object a copy of the picture; failures leave it as Create left it.
    void CreateFromPicture(const QImage &picThis);
    bool Create(std::int32_t lWidth, std::int32_t lHeight);
    std::int32_t BytesPerScanLine() const;
    std::int32_t Width() const { return m_header.biWidth; }
    std::int32_t Height() const { return m_header.biHeight; }
    // One-to-one transfer from lhDC at (lSrcLeft, lSrcTop) into the image at (0, 0); a negative
    // width or height means the image's own, 0 transfers nothing.
    void LoadPictureBlt(HDC lhDC, std::int32_t lSrcLeft = 0, std::int32_t lSrcTop = 0,
                        std::int32_t lSrcWidth = -1, std::int32_t lSrcHeight = -1,
                        quint32 eRop = SRCCOPY);
    std::uint8_t *DIBSectionBitsPtr() const { return m_bits; }
    void ClearUp();

    const BITMAPINFOHEADER &header() const { return m_header; }
    Handle handle() const { return m_hDib; }
    HDC memoryDC() const { return m_hDC; }

private:
    struct FreeMemory
    {
        void operator()(std::uint8_t *bits) const { std::free(bits); }
    };
    using Memory = std::unique_ptr<std::uint8_t, FreeMemory>;

    BITMAPINFOHEADER m_header;
    Memory m_memory;
    std::uint8_t *m_bits = nullptr;
    Handle m_hDib = 0;
    HDC m_hDC = nullptr;
    std::unique_ptr<DeviceContext> m_memoryDC;
};
