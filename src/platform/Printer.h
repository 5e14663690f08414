#pragma once

#include <QImage>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

// The current printer: the system's default until the user picks another in printer setup.
class IPrinter
{
public:
    enum Orientation
    {
        Portrait = 1,
        Landscape = 2
    };

    virtual ~IPrinter() = default;
    virtual QString deviceName() const = 0;
    virtual void setOrientation(int orientation) = 0;
    virtual int orientation() const = 0;
    // Draws the picture at its natural size (one 96-dpi pixel is 1/96 inch on paper), with (x, y)
    // in twips from the top-left corner of the printable area. False when nothing could be drawn.
    virtual bool drawPicture(const QImage &picture, float xTwips, float yTwips) = 0;
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

// The system's own dialog for choosing the printer and its settings, whose accept button chooses
// and prints nothing. Every job is one page, one copy: a copy count or page range picked there
// is not kept. False when cancelled. One implementation per system.
bool showPrintSetupDialog(QPrinter &printer, QWidget *owner);
