#pragma once

#include <QImage>
#include <QList>
#include <QString>

// A real decoder's view of a JPEG file (libjpeg-turbo), and the quantisation tables that
// libjpeg itself makes for a quality, to check what quality a file was written at.
namespace JpegCheck {

struct Decoded
{
    QImage image;                  // null when the file is not a JPEG the decoder accepts
    QList<QList<int>> quantTables; // natural order, as the file's header gives them
};

Decoded decode(const QString &file);

// The tables libjpeg's own encoder uses at this quality (luminance, chrominance).
QList<QList<int>> referenceTables(int quality);

} // namespace JpegCheck
