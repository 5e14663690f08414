#include "PdfSheet.h"

#include "platform/Printer.h"

#include <zlib.h>

#include <vector>

namespace {

// Keeps count of the bytes written, for the cross-reference table at the end.
class PdfOut
{
public:
    explicit PdfOut(IByteSink &sink)
        : m_sink(sink)
    {}
    bool put(QByteArrayView bytes)
    {
        m_offset += bytes.size();
        m_ok = m_ok && m_sink.write(bytes);
        return m_ok;
    }
    bool object(int number, const QByteArray &body)
    {
        startObject(number);
        return put(QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n");
    }
    void startObject(int number)
    {
        m_offsets.resize(std::max<size_t>(m_offsets.size(), size_t(number)));
        m_offsets[size_t(number - 1)] = m_offset;
    }
    bool finish(int root)
    {
        const qint64 xref = m_offset;
        QByteArray table = "xref\n0 " + QByteArray::number(qsizetype(m_offsets.size()) + 1) +
                           "\n0000000000 65535 f \n";
        for (qint64 offset : m_offsets)
            table += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        return put(table + "trailer\n<< /Size " +
                   QByteArray::number(qsizetype(m_offsets.size()) + 1) + " /Root " +
                   QByteArray::number(root) + " 0 R >>\nstartxref\n" + QByteArray::number(xref) +
                   "\n%%EOF\n");
    }
    qint64 offset() const { return m_offset; }
    bool ok() const { return m_ok; }

private:
    IByteSink &m_sink;
    std::vector<qint64> m_offsets;
    qint64 m_offset = 0;
    bool m_ok = true;
};

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 4);
}

// Hands deflate's output to the document until deflate has nothing more to give.
bool drain(PdfOut &out, z_stream &z, std::vector<unsigned char> &buffer, int flush)
{
    int status = Z_OK;
    do {
        z.next_out = buffer.data();
        z.avail_out = uInt(buffer.size());
        status = deflate(&z, flush);
        out.put(QByteArrayView(buffer.data(), qsizetype(buffer.size() - z.avail_out)));
    } while (out.ok() && status != Z_STREAM_ERROR &&
             (z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END)));
    return out.ok() && status != Z_STREAM_ERROR;
}

// The picture's rows as 8-bit RGB, deflated in bands of about 256 kB. Screens are mostly runs of
// one colour, which deflate shrinks many times over; a band with hardly any (noise, a photo) is
// stored as it is, since deflate would spend long on it for a few per cent.
bool writePixels(PdfOut &out, const QImage &picture)
{
    const int width = picture.width();
    const int bandRows = std::max(1, (1 << 18) / (width * 3));
    std::vector<unsigned char> rgb(size_t(width) * 3 * size_t(bandRows));
    std::vector<unsigned char> packed(1 << 18);
    z_stream z{};
    int level = Z_BEST_SPEED;
    if (deflateInit(&z, level) != Z_OK)
        return false;
    bool ok = true;
    for (int top = 0; ok && top < picture.height(); top += bandRows) {
        const int rows = std::min(bandRows, picture.height() - top);
        unsigned char *to = rgb.data();
        qsizetype repeats = 0;
        for (int y = top; y < top + rows; ++y) {
            const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
            for (int x = 0; x < width; ++x, to += 3) {
                to[0] = uchar(qRed(from[x]));
                to[1] = uchar(qGreen(from[x]));
                to[2] = uchar(qBlue(from[x]));
                repeats += x > 0 && from[x] == from[x - 1];
            }
        }
        const int wanted = repeats * 8 >= qsizetype(rows) * width ? Z_BEST_SPEED : Z_NO_COMPRESSION;
        if (wanted != level) {
            // Whatever deflate still holds goes out under the level it came in with.
            ok = drain(out, z, packed, Z_BLOCK);
            z.next_out = packed.data();
            z.avail_out = uInt(packed.size());
            ok = ok && deflateParams(&z, wanted, Z_DEFAULT_STRATEGY) == Z_OK &&
                 out.put(QByteArrayView(packed.data(), qsizetype(packed.size() - z.avail_out)));
            level = wanted;
        }
        z.next_in = rgb.data();
        z.avail_in = uInt(to - rgb.data());
        ok = ok && drain(out, z, packed, top + rows >= picture.height() ? Z_FINISH : Z_NO_FLUSH);
    }
    deflateEnd(&z);
    return ok;
}

} // namespace

bool writePdfSheet(const PdfSheet &sheet, const QImage &source, IByteSink &sink)
{
    const QImage picture =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
            ? source
            : source.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return false;
    PdfOut out(sink);
    const double height = sheet.paper.height();
    const QRectF &clip = sheet.printable, &to = sheet.target;
    // PDF counts upwards from the bottom of the sheet.
    const QByteArray content = "q " + number(clip.left()) + ' ' + number(height - clip.bottom()) +
                               ' ' + number(clip.width()) + ' ' + number(clip.height()) +
                               " re W n " + number(to.width()) + " 0 0 " + number(to.height()) +
                               ' ' + number(to.left()) + ' ' + number(height - to.bottom()) +
                               " cm /Im Do Q\n";
    out.put("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    out.object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    out.object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    out.object(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(sheet.paper.width()) +
                      ' ' + number(height) +
                      "] /Resources << /XObject << /Im 4 0 R >> >> /Contents 5 0 R >>");
    out.object(5, "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
                      "endstream");
    // The picture's length is known once it is written: it follows as an object of its own.
    out.startObject(4);
    out.put("4 0 obj\n<< /Type /XObject /Subtype /Image /Width " +
            QByteArray::number(picture.width()) + " /Height " +
            QByteArray::number(picture.height()) +
            " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false"
            " /Filter /FlateDecode /Length 6 0 R >>\nstream\n");
    const qint64 start = out.offset();
    if (!writePixels(out, picture))
        return false;
    const qint64 length = out.offset() - start;
    out.put("\nendstream\nendobj\n");
    out.object(6, QByteArray::number(length));
    return out.finish(1);
}
