#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

// Where a document goes as it is made, so that a large one is never held whole.
class IByteSink
{
public:
    virtual ~IByteSink() = default;
    // False when the bytes were not taken: the document is lost.
    virtual bool write(QByteArrayView bytes) = 0;
};

// A PDF document streamed to the system's spooler as it is written. Half a page must not print:
// a document not finished is cancelled when its stream goes.
class ISpoolStream : public IByteSink
{
public:
    // The sheet it is printed on: landscape, with the printer's own margins.
    virtual const QPageLayout &sheet() const = 0;
    // Ends the complete document; whether the spooler took it.
    virtual bool finish() = 0;
};

// The current printer: the system's default until the user picks another in printer setup.
// Every sheet is landscape.
class IPrinter
{
public:
    virtual ~IPrinter() = default;
    virtual QString deviceName() const = 0;
    // The printable area of a landscape sheet of the paper chosen now, in 1/96 inch.
    virtual QSizeF printableSize() = 0;
    // Draws the picture stretched over the target, in 1/96 inch from the top-left corner of the
    // printable area: its pixels reach the printer as they are, and the printer scales them.
    // What lies beyond the printable area is cut off. False when nothing could be drawn.
    virtual bool drawPicture(const QImage &picture, const QRectF &target) = 0;
    // A sheet straight to the system's spooler as a PDF document, for the printers the system
    // spools that way: Qt's engine takes far longer over a whole screen and holds it several
    // times over. Null for a printer this way does not serve (a file, or another system), which
    // drawPicture draws on instead.
    virtual std::unique_ptr<ISpoolStream> spoolPdf() = 0;
    // Hands the page to the spooler; false when no document was open or the spooler refused it.
    virtual bool endDoc() = 0;
    // The printer-setup dialog; the choice serves every later job. False when cancelled.
    virtual bool showSetupDialog() = 0;
    // A printer object of its own for one job on another thread: this printer with its settings
    // as they are now, so that the job never shares a printer with the window.
    virtual std::unique_ptr<IPrinter> forJob() = 0;
};

// Whether the system's spooler took the last document this thread handed to it: Qt's print
// engines do not say when the spooler refuses a finished document. One implementation per
// system.
bool spoolerTookLastDocument();

// The least margins of a landscape sheet of the printer's paper, as the printer's description
// gives them and the system turns pages onto the paper. The printer is left landscape.
// One implementation per system.
QMarginsF landscapeMinimumMargins(QPrinter &printer);

// Margins of portrait paper, on the same paper turned landscape: the page's top along the
// paper's left edge when the spooler turns landscape pages a quarter turn anticlockwise, along
// its right edge when it turns them clockwise.
QMarginsF turnedToLandscape(const QMarginsF &portrait, bool anticlockwise);

// A printer as Printer Setup left it, which a job takes to another thread.
struct PrinterSettings
{
    QString printerName;
    QString outputFileName; // printing into a PDF file of this name
    QString docName;
    QPageLayout layout; // landscape, with the printer's own margins
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPrinter::PaperSource paperSource = QPrinter::Auto;
    QStringList driverOptions; // the driver's own, chosen under Properties: name, value, ...
};

// The printer's stream for IPrinter::spoolPdf; null where it does not serve. One implementation
// per system.
std::unique_ptr<ISpoolStream> openPdfSpool(const PrinterSettings &printer);

// The system's own dialog for choosing the printer and its settings, whose accept button chooses
// and prints nothing. Every job is one page, one copy: a copy count or page range picked there
// is not kept. False when cancelled. One implementation per system.
bool showPrintSetupDialog(QPrinter &printer, QWidget *owner);
