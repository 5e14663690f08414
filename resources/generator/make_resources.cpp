// Draws the program's image resources. Run by scripts/make-resources; the results are committed.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <cstdio>
#include <random>

namespace {

QImage drawIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // No antialiasing: the icon has to fit in 256 colours without dithering.
    // A sheet of paper behind a small monitor: the screen goes to paper.
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(15.5, 1.5, 14, 18));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y = 5; y <= 9; y += 2)
        p.drawLine(QPointF(18, y + 0.5), QPointF(27, y + 0.5));
    p.setPen(QPen(QColor(40, 40, 48), 1));
    p.setBrush(QColor(64, 64, 72));
    p.drawRoundedRect(QRectF(1.5, 9.5, 22, 16), 2, 2);
    QLinearGradient sky(0, 11, 0, 24);
    sky.setColorAt(0, QColor(40, 110, 220));
    sky.setColorAt(1, QColor(150, 200, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(4, 12, 17, 11));
    p.setBrush(QColor(64, 64, 72));
    p.drawRect(QRectF(10, 26, 5, 3));
    p.drawRect(QRectF(6, 29, 13, 2));
    // The glimmer.
    QPainterPath star;
    star.moveTo(16, 13);
    star.lineTo(17, 16);
    star.lineTo(20, 17);
    star.lineTo(17, 18);
    star.lineTo(16, 21);
    star.lineTo(15, 18);
    star.lineTo(12, 17);
    star.lineTo(15, 16);
    star.closeSubpath();
    p.setBrush(QColor(255, 240, 120));
    p.drawPath(star);
    p.end();
    return image;
}

// 256 colours, as the window icon has always been; pixels that are not opaque become a mask.
QImage to256Colours(const QImage &icon)
{
    return icon.convertToFormat(QImage::Format_Indexed8,
                                Qt::ThresholdAlphaDither | Qt::AvoidDither | Qt::ThresholdDither);
}

bool writeIco(const QImage &indexed, const QString &path)
{
    const int w = indexed.width();
    const int h = indexed.height();
    const int xorRow = w;                   // 8 bits per pixel, already a multiple of 4 at 32
    const int andRow = ((w + 31) / 32) * 4; // 1 bit per pixel, rows padded to 4 bytes
    const int imageBytes = 40 + 256 * 4 + xorRow * h + andRow * h;
    QByteArray out;
    auto u16 = [&](quint16 v) {
        out.append(char(v & 0xff)).append(char(v >> 8));
    };
    auto u32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    };
    u16(0);
    u16(1);
    u16(1); // ICONDIR: one image
    out.append(char(w)).append(char(h)).append(char(0)).append(char(0));
    u16(1);
    u16(8);
    u32(quint32(imageBytes));
    u32(6 + 16); // ICONDIRENTRY
    u32(40);
    u32(quint32(w));
    u32(quint32(2 * h));
    u16(1);
    u16(8); // BITMAPINFOHEADER
    u32(0);
    u32(0);
    u32(0);
    u32(0);
    u32(256);
    u32(0);
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    }
    for (int y = h - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char *>(indexed.constScanLine(y)), xorRow);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andRow, 0);
        for (int x = 0; x < w; ++x)
            if (qAlpha(table.value(indexed.pixelIndex(x, y))) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

QImage drawTexture()
{
    // A quiet grey with a little grain, the same every time it is drawn.
    QImage image(800, 600, QImage::Format_RGB32);
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> grain(-6, 6);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int v = 200 + grain(random) + ((x / 2 + y / 3) % 7 == 0 ? -3 : 0);
            row[x] = qRgb(v, v, v + 2);
        }
    }
    return image;
}

QImage drawCursor()
{
    // A pointing hand; the fingertip is the hot spot at (12, 1).
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.moveTo(10.5, 3);
    hand.cubicTo(10.5, 0.5, 14.5, 0.5, 14.5, 3);
    hand.lineTo(14.5, 11);
    hand.cubicTo(14.5, 9.5, 18.5, 9.5, 18.5, 11.5);
    hand.cubicTo(18.5, 10, 22.5, 10, 22.5, 12.5);
    hand.cubicTo(22.5, 11, 26.5, 11, 26.5, 13.5);
    hand.lineTo(26.5, 21);
    hand.cubicTo(26.5, 25, 24.5, 27, 23.5, 28.5);
    hand.lineTo(12.5, 28.5);
    hand.cubicTo(10, 25, 7, 21, 4.5, 17.5);
    hand.cubicTo(3, 15.5, 5.5, 13, 7.5, 14.5);
    hand.lineTo(10.5, 17);
    hand.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(14.5, 11), QPointF(14.5, 17));
    p.drawLine(QPointF(18.5, 11.5), QPointF(18.5, 17));
    p.drawLine(QPointF(22.5, 12.5), QPointF(22.5, 17));
    p.end();
    return image;
}

QImage drawPlaceholder()
{
    QImage image(666, 559, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0.0, QColor(70, 130, 210));
    sky.setColorAt(0.6, QColor(150, 195, 240));
    sky.setColorAt(1.0, QColor(215, 232, 250));
    p.fillRect(image.rect(), sky);
    std::mt19937 random(559666);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int cloud = 0; cloud < 7; ++cloud) {
        const QPointF centre(unit(random) * 666, 60 + unit(random) * 440);
        for (int puff = 0; puff < 9; ++puff) {
            const QPointF at =
                centre + QPointF((unit(random) - 0.5) * 160, (unit(random) - 0.5) * 40);
            const double r = 25 + unit(random) * 35;
            QRadialGradient g(at, r);
            g.setColorAt(0.0, QColor(255, 255, 255, 200));
            g.setColorAt(1.0, QColor(255, 255, 255, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(at, r, r);
        }
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(170);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("Empty"));
    const QRectF box = text.boundingRect();
    text.translate(-box.center() + QPointF(image.width() / 2.0, image.height() / 2.0));
    p.setPen(QPen(QColor(255, 255, 255), 6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 50, 200));
    p.drawPath(text);
    p.end();
    return image;
}

bool save(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const QImage icon = to256Colours(drawIcon());
    bool ok = save(icon, out.filePath(QStringLiteral("glimmerbox.png")), "png");
    ok = writeIco(icon, out.filePath(QStringLiteral("glimmerbox.ico"))) && ok;
    ok = save(drawTexture(), out.filePath(QStringLiteral("texture.png")), "png") && ok;
    ok = save(drawCursor(), out.filePath(QStringLiteral("thumbcursor.png")), "png") && ok;
    ok = save(drawPlaceholder(), out.filePath(QStringLiteral("placeholder.jpg")), "jpeg", 90) && ok;
    return ok ? 0 : 1;
}
