#pragma once

#include <QImage>

// What a device context is to the bitmap code: a surface whose pixels a block transfer reads.
// A handle is a pointer to one; a null handle is no device context.
struct DeviceContext
{
    QImage pixels;
};

// The raster operations a block transfer knows.
enum RasterOp : quint32
{
    SRCCOPY = 0x00CC0020,
    NOTSRCCOPY = 0x00330008,
    SRCINVERT = 0x00660046,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};
