#pragma once

#include <QImage>

class IClipboard
{
public:
    virtual ~IClipboard() = default;
    // Replaces whatever the clipboard held with one bitmap; false when the clipboard refused it.
    virtual bool setBitmap(const QImage &picture) = 0;
};
