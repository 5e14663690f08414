#pragma once

#include <QImage>

// Reads the primary screen. The result is in device pixels at full resolution; a null image
// means the screen could not be read.
class IScreenGrabber
{
public:
    virtual ~IScreenGrabber() = default;
    virtual QImage grabPrimaryScreen() = 0;
};
