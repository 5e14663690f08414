#pragma once

#include <QString>

class PictureSurface;
class IScreenGrabber;
class IScreenMetrics;

// Copies the whole primary screen, at full resolution, into Picture1, which takes the screen's
// size. Empty when it did; otherwise why the screen could not be read, and Picture1 is left as
// it was.
QString copyDesktop(PictureSurface &Picture1, IScreenGrabber &screen,
                    const IScreenMetrics &metrics);
