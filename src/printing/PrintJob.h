#pragma once

class IPrinter;
class QImage;
class QRect;
class QRectF;

namespace PrintJob {

// One landscape page: the area of the shot at the zoom, centred on the printable area of the
// sheet, cut where the sheet ends. The printer gets the area's own pixels that land on the
// sheet, nothing resampled. False when the page did not reach the printer.
bool printPage(IPrinter &printer, const QImage &shot, const QRect &area, double zoom);

// The picture stretched over the target, in 1/96 inch from the corner of the sheet's printable
// area: straight to the spooler as a PDF sheet where the printer is spooled that way, else drawn
// by the printer. A document that was begun is ended either way.
bool printPicture(IPrinter &printer, const QImage &picture, const QRectF &target);

} // namespace PrintJob
