#pragma once

class IPrinter;
class QImage;
class QRect;

namespace PrintJob {

// One landscape page: the area of the shot at the zoom, centred on the printable area of the
// sheet, cut where the sheet ends. The printer gets the area's own pixels that land on the
// sheet, nothing resampled. False when the page did not reach the printer; a document that was
// begun is ended either way.
bool printPage(IPrinter &printer, const QImage &shot, const QRect &area, double zoom);

} // namespace PrintJob
