#pragma once

#include <QImage>
#include <QString>

#include <memory>

// One reading of the primary screen: its pixels at full resolution, or why there are none.
struct ScreenGrab
{
    QImage image;  // device pixels; null when the screen could not be read
    QString error; // the cause in plain words, when image is null
};

// Reads the primary screen.
class IScreenGrabber
{
public:
    virtual ~IScreenGrabber() = default;
    virtual ScreenGrab grabPrimaryScreen() = 0;
};

// The screen reader that fits the session; chosen once, at start-up. One per system.
std::unique_ptr<IScreenGrabber> chooseScreenGrabber();
