#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>

class IByteSink;

// One sheet as a PDF document holding one picture, for spoolers that take PDF. Lengths are in
// points (1/72 inch) from the sheet's top-left corner.
struct PdfSheet
{
    QSizeF paper;
    QRectF printable; // what lies outside is cut off
    QRectF target;    // where the picture's pixels go, stretched by the printer alone
};

// Writes the document in pieces as it is made, so that a large picture is never held twice.
// Its pixels stay exactly as they are: compressed without loss where that pays, stored as they
// are where it does not (noise compresses slowly and hardly at all). Stops, and gives false,
// as soon as the sink takes no more.
bool writePdfSheet(const PdfSheet &sheet, const QImage &picture, IByteSink &sink);
