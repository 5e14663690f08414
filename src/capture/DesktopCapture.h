#pragma once

class PictureSurface;
class IScreenGrabber;
class IScreenMetrics;
class QString;

// Copies the whole primary screen, at full resolution, into a picture surface that takes the
// screen's size. False (with the cause in error) when the screen could not be read; the surface
// is then left as it was.
bool CopyDesktop(PictureSurface &objTo, IScreenGrabber &screen, const IScreenMetrics &metrics,
                 QString *error = nullptr);
