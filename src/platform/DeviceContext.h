#pragma once

#include <QImage>

// What a device context is to the bitmap code: a surface whose pixels a block transfer reads.
// A handle is a pointer to one; a null handle is no device context.
struct DeviceContext
{
    QImage pixels;
};

// The one raster operation the program's block transfers use: a plain copy.
enum RasterOp : quint32
{
    SRCCOPY = 0x00CC0020,
};
