#include "TestPattern.h"

#include <cstdlib>

namespace TestPattern {

QRgb blockColour(int column, int row, int seed)
{
    static const QRgb palette[16] = {
        0xffd03030, 0xff30d030, 0xff3030d0, 0xffd0d030, 0xffd030d0, 0xff30d0d0,
        0xfff08020, 0xff8020f0, 0xff20f080, 0xff606060, 0xffe0e0e0, 0xff902020,
        0xff209020, 0xff202090, 0xffa0a040, 0xff40a0a0,
    };
    return palette[(row * 4 + column + seed) % 16];
}

QImage make(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int row = std::min(3, y * 4 / size.height());
        for (int x = 0; x < size.width(); ++x) {
            const int column = std::min(3, x * 4 / size.width());
            quint32 h = quint32(x) * 73856093u ^ quint32(y) * 19349663u ^ quint32(seed) * 83492791u;
            h ^= h >> 13;
            h *= 0x5bd1e995u;
            h ^= h >> 15;
            line[x] = blockColour(column, row, seed) ^ (h & 0x00070707u);
        }
    }
    return image;
}

double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) +
                   std::abs(qGreen(p[col]) - qGreen(q[col])) +
                   std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

qsizetype differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qsizetype count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            count += (p[col] & 0xffffff) != (q[col] & 0xffffff);
    }
    return count;
}

bool isWhite(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != 0xffffff)
                return false;
    return true;
}

} // namespace TestPattern
