#pragma once

#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// What a printed PDF holds, read with poppler's tools, and the test print spooler's state.
namespace Pdf {

struct Info
{
    int pages = 0;
    QSizeF pageSize; // points
    int rotation = 0;
};

Info info(const QString &file);

// The page rendered at the given resolution.
QImage render(const QString &file, int dpi);

// A rendered page turned back to landscape: cups-pdf writes portrait pages with landscape
// content turned; the turn that puts the expected top-left corner in place is the right one.
QImage asLandscape(const QImage &page, const QImage &expectedTopLeft);

// The images embedded in the PDF, at their own resolution.
QList<QImage> images(const QString &file);

// The folder the test queue writes its PDFs into (from scripts/test); empty when unset.
QString outputFolder();

// PDFs in the output folder.
QStringList files();

// Jobs the spooler has taken for the test queue, finished or not.
int jobCount();

// Waits until a PDF that is not in 'before' is complete; its path, or empty after the time.
QString waitForNew(const QStringList &before, int timeoutMs = 30000);

} // namespace Pdf
