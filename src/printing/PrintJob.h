#pragma once

class IPrinter;
class QImage;
class QRect;

// One landscape page from the current shot, or its crop: the printed area at the chosen zoom,
// centred on a white page image of the shot's size, and that page image at screen scale from
// the corner of the printable area.
namespace PrintJob {

QImage composePageImage(const QImage &shot, const QRect &area, float zoom, float twipsPerPixelX,
                        float twipsPerPixelY);

// False when the page did not reach the printer. A step that fails leaves nothing behind and
// the next one runs, so the orientation is always put back.
bool printPage(IPrinter &printer, const QImage &page);

} // namespace PrintJob
