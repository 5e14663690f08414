// Draws the program's image resources. Run by scripts/make-resources; the results are committed.

#include <QBuffer>
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
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>
#include <random>

namespace {

// The icon, drawn once as a scalable picture: a sheet of paper behind a small monitor, the screen
// going to paper, with a glimmer on the screen.
const char *const IconSvg =
    R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <defs>
    <linearGradient id="sky" x1="0" y1="11" x2="0" y2="24" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#286edc"/>
      <stop offset="1" stop-color="#96c8fa"/>
    </linearGradient>
  </defs>
  <rect x="15.5" y="1.5" width="14" height="18" fill="#ffffff" stroke="#5a5a5a"/>
  <path d="M18 5.5h9M18 7.5h9M18 9.5h9" stroke="#969696"/>
  <rect x="1.5" y="9.5" width="22" height="16" rx="2" fill="#404048" stroke="#282830"/>
  <rect x="4" y="12" width="17" height="11" fill="url(#sky)"/>
  <rect x="10" y="26" width="5" height="3" fill="#404048"/>
  <rect x="6" y="29" width="13" height="2" fill="#404048"/>
  <path d="M16 13l1 3 3 1-3 1-1 3-1-3-3-1 3-1z" fill="#fff078"/>
</svg>
)svg";

QImage renderIcon(int size)
{
    QSvgRenderer renderer{QByteArray(IconSvg)};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    renderer.render(&p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// 256 colours, as the About box's picture has always been; pixels that are not opaque become
// transparent.
QImage to256Colours(const QImage &icon)
{
    return icon.convertToFormat(QImage::Format_Indexed8,
                                Qt::ThresholdAlphaDither | Qt::AvoidDither | Qt::ThresholdDither);
}

// A Windows icon file with one picture per size: 32-bit bitmaps up to 48 pixels, PNG at 256, as
// Windows itself stores them.
// Little-endian numbers appended to a byte array, as Windows files store them.
struct LittleEndian
{
    QByteArray &out;
    void u16(quint16 v) { out.append(char(v & 0xff)).append(char(v >> 8)); }
    void u32(quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    }
};

bool writeIco(const QList<QImage> &pictures, const QString &path)
{
    QList<QByteArray> data;
    for (const QImage &picture : pictures) {
        QByteArray bytes;
        LittleEndian le{bytes};
        const int size = picture.width();
        if (size >= 256) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "png");
        } else {
            // BITMAPINFOHEADER of twice the height (colours, then the mask), rows bottom-up.
            const int maskRow = ((size + 31) / 32) * 4;
            le.u32(40);
            le.u32(quint32(size));
            le.u32(quint32(2 * size));
            le.u16(1);
            le.u16(32);
            for (int i = 0; i < 6; ++i)
                le.u32(0);
            for (int y = size - 1; y >= 0; --y)
                for (int x = 0; x < size; ++x) {
                    const QRgb c = picture.pixel(x, y);
                    bytes.append(char(qBlue(c))).append(char(qGreen(c)));
                    bytes.append(char(qRed(c))).append(char(qAlpha(c)));
                }
            bytes.append(QByteArray(maskRow * size, 0)); // the alpha channel says it all
        }
        data.append(bytes);
    }
    QByteArray out;
    LittleEndian le{out};
    le.u16(0);
    le.u16(1);
    le.u16(quint16(pictures.size()));
    quint32 offset = 6 + 16 * quint32(pictures.size());
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const int size = pictures[i].width();
        out.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size));
        out.append(char(0)).append(char(0));
        le.u16(1);
        le.u16(32);
        le.u32(quint32(data[i].size()));
        le.u32(offset);
        offset += quint32(data[i].size());
    }
    for (const QByteArray &bytes : data)
        out.append(bytes);
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
    out.mkpath(QStringLiteral("icons"));
    QFile svg(out.filePath(QStringLiteral("glimmerbox.svg")));
    bool ok = svg.open(QIODevice::WriteOnly) && svg.write(IconSvg) > 0;
    svg.close();
    QList<QImage> ico;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon = renderIcon(size);
        ok = save(icon, out.filePath(QStringLiteral("icons/glimmerbox-%1.png").arg(size)), "png") &&
             ok;
        if (size != 64 && size != 128)
            ico.append(icon);
    }
    ok = writeIco(ico, out.filePath(QStringLiteral("glimmerbox.ico"))) && ok;
    ok =
        save(to256Colours(renderIcon(32)), out.filePath(QStringLiteral("glimmerbox.png")), "png") &&
        ok;
    ok = save(drawTexture(), out.filePath(QStringLiteral("texture.png")), "png") && ok;
    ok = save(drawCursor(), out.filePath(QStringLiteral("thumbcursor.png")), "png") && ok;
    ok = save(drawPlaceholder(), out.filePath(QStringLiteral("placeholder.jpg")), "jpeg", 90) && ok;
    return ok ? 0 : 1;
}
