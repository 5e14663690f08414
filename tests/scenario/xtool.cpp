// Pixel work for the test scripts: test patterns on the X root window, the screen's pixels, and
// pictures compared with each other and with the words on the screen.
#include <QGuiApplication>
#include <QPainter>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

[[noreturn]] void die(const char *why, const char *what = "")
{
    std::fprintf(stderr, "xtool: %s%s\n", why, what);
    std::exit(1);
}

QImage load(const char *file)
{
    const QImage image(QString::fromLocal8Bit(file));
    if (image.isNull())
        die("cannot read ", file);
    return image.convertToFormat(QImage::Format_RGB32);
}

// A 4 x 4 grid of distinct colours with a per-pixel grain: a shift by one pixel changes most
// pixels, while a scaled-down copy still shows the blocks.
QImage pattern(QSize size, int seed)
{
    static const QRgb palette[16] = {0xd03030, 0x30d030, 0x3030d0, 0xd0d030, 0xd030d0, 0x30d0d0,
                                     0xf08020, 0x8020f0, 0x20f080, 0x606060, 0xe0e0e0, 0x902020,
                                     0x209020, 0x202090, 0xa0a040, 0x40a0a0};
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int block =
                std::min(3, y * 4 / size.height()) * 4 + std::min(3, x * 4 / size.width());
            quint32 h = quint32(x) * 73856093u ^ quint32(y) * 19349663u ^ quint32(seed) * 83492791u;
            h = (h ^ h >> 13) * 0x5bd1e995u;
            image.setPixel(
                x, y, 0xff000000u | (palette[(block + seed) % 16] ^ ((h ^ h >> 15) & 0x070707u)));
        }
    return image;
}

Display *display()
{
    Display *d = XOpenDisplay(nullptr);
    if (!d || DefaultDepth(d, 0) != 24)
        die("no X display of depth 24 (is DISPLAY set?)");
    return d;
}

// The picture becomes the root window's background, which stays after we disconnect.
void setRoot(QImage picture)
{
    Display *d = display();
    const uint w = uint(picture.width()), h = uint(picture.height());
    const Pixmap pixmap = XCreatePixmap(d, DefaultRootWindow(d), w, h, 24);
    XImage *image = XCreateImage(d, DefaultVisual(d, DefaultScreen(d)), 24, ZPixmap, 0,
                                 reinterpret_cast<char *>(picture.bits()), w, h, 32,
                                 int(picture.bytesPerLine()));
    XPutImage(d, pixmap, DefaultGC(d, DefaultScreen(d)), image, 0, 0, 0, 0, w, h);
    image->data = nullptr; // the QImage's
    XDestroyImage(image);
    XSetWindowBackgroundPixmap(d, DefaultRootWindow(d), pixmap);
    XClearWindow(d, DefaultRootWindow(d));
    XFreePixmap(d, pixmap);
    XCloseDisplay(d);
}

// What the X server shows, as it holds it (32-bit pixels, blue first, as in a QImage).
QImage screen()
{
    Display *d = display();
    XImage *image = XGetImage(d, DefaultRootWindow(d), 0, 0, uint(DisplayWidth(d, 0)),
                              uint(DisplayHeight(d, 0)), AllPlanes, ZPixmap);
    if (!image || image->bits_per_pixel != 32 || image->byte_order != LSBFirst)
        die("the screen's pixels are not 32-bit, blue first");
    const QImage shown = QImage(reinterpret_cast<uchar *>(image->data), image->width, image->height,
                                image->bytes_per_line, QImage::Format_RGB32)
                             .copy();
    XDestroyImage(image);
    XCloseDisplay(d);
    return shown;
}

// How many pixels differ, and the mean difference per channel; -1 and 999 for different sizes.
std::pair<qsizetype, double> compare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return {-1, 999};
    std::pair<qsizetype, double> result{0, 0};
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            result.first += (p & 0xffffff) != (q & 0xffffff);
            result.second += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                             std::abs(qBlue(p) - qBlue(q));
        }
    result.second /= 3.0 * a.width() * a.height();
    return result;
}

// The summed difference of ink coverage where the text, drawn black on white, fits the dark-on-
// light area best; infinite when a pixel there is more than half off.
double fit(const QImage &shown, double paper, const QFont &font, const QString &text)
{
    QImage ink(2000, 100, QImage::Format_RGB32);
    ink.setDotsPerMeterX(3780); // 96 dpi, as the program's screen
    ink.setDotsPerMeterY(3780);
    ink.fill(Qt::white);
    QRect used = QFontMetrics(font, &ink).tightBoundingRect(text).adjusted(-1, -1, 1, 1);
    used.setBottom(1); // above the baseline: the control below a label may cover descenders
    QPainter p(&ink);
    p.setFont(font);
    p.drawText(-used.topLeft(), text);
    p.end();
    double best = qInf();
    for (int y = 0; y + used.height() <= shown.height(); ++y)
        for (int x = 0; x + used.width() <= shown.width(); ++x) {
            double sum = 0;
            for (int j = 0; j < used.height() && sum < best; ++j)
                for (int i = 0; i < used.width(); ++i) {
                    const double d = std::abs(qGray(ink.pixel(i, j)) / 255.0 -
                                              qGray(shown.pixel(x + i, y + j)) / paper);
                    sum += d > 0.5 ? qInf() : d;
                }
            best = std::min(best, sum);
        }
    return best;
}

// The screen's area shows the text, and each digit reads better than any other in its place.
bool says(const QRect &area, const QFont &font, const QString &text)
{
    const QImage shown = screen().copy(area);
    double paper = 1; // the lightest grey there
    for (int i = 0; i < shown.width() * shown.height(); ++i)
        paper = std::max(paper, double(qGray(shown.pixel(i % shown.width(), i / shown.width()))));
    const double error = fit(shown, paper, font, text);
    bool read = error < qInf();
    for (qsizetype i = 0; i < text.size(); ++i)
        for (char digit = '0'; read && text[i].isDigit() && digit <= '9'; ++digit)
            read = digit == text[i] ||
                   fit(shown, paper, font, QString(text).replace(i, 1, digit)) > error;
    std::printf("%s \"%s\" (%.1f)\n", read ? "shows" : "does not show", qPrintable(text), error);
    return read;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // Qt only draws and encodes; Xlib reaches the X server
    QGuiApplication app(argc, argv);
    const QByteArray command = argc > 1 ? argv[1] : "";
    QList<int> n; // the arguments as numbers
    for (int i = 0; i < std::max(argc, 9); ++i)
        n.append(i < argc ? std::atoi(argv[i]) : 0);
    const QString out = QString::fromLocal8Bit(argc > 2 ? argv[2] : "");
    if (command == "write-pattern" && (argc == 5 || argc == 6)) // FILE W H [SEED]
        return !pattern(QSize(n[3], n[4]), n[5]).save(out);
    if (command == "pattern" && argc <= 3) // [SEED], on the root window
        return setRoot(pattern(screen().size(), n[2])), 0;
    if (command == "setroot" && argc == 3) // FILE
        return setRoot(load(argv[2])), 0;
    if (command == "dump" && (argc == 3 || argc == 7)) { // FILE [X Y W H]
        const QImage shown = screen();
        return !shown.copy(argc == 7 ? QRect(n[3], n[4], n[5], n[6]) : shown.rect()).save(out);
    }
    if (command == "same" && argc == 4) { // A B: the same size and pixels
        const qsizetype differing = compare(load(argv[2]), load(argv[3])).first;
        if (differing)
            std::fprintf(stderr, "xtool: %lld pixels differ\n", qlonglong(differing));
        return differing != 0;
    }
    if (command == "find" && argc == 4) { // PART WHOLE: "X Y W H" where WHOLE holds PART
        const QImage part = load(argv[2]), whole = load(argv[3]);
        for (int y = 0; y + part.height() <= whole.height(); ++y)
            for (int x = 0; x + part.width() <= whole.width(); ++x) {
                int j = 0;
                while (j < part.height() && !std::memcmp(whole.constScanLine(y + j) + x * 4,
                                                         part.constScanLine(j), part.width() * 4))
                    ++j;
                if (j == part.height())
                    return std::printf("%d %d %d %d\n", x, y, part.width(), part.height()), 0;
            }
        die("the picture is nowhere in the other one");
    }
    if (command == "sheet" && argc == 8) {
        // PAGE SHOT X Y W H: "X Y W H MEAN", where on PAGE (96 dpi, turned to landscape) the
        // picture lies, and how far it is from SHOT's area scaled to that place; fails when the
        // mean difference is 4 or more.
        const QImage page = load(argv[2]), area = load(argv[3]).copy(n[4], n[5], n[6], n[7]);
        QRect best;
        double mean = 999;
        for (int turn : page.height() > page.width() ? QList<int>{90, 270} : QList<int>{0}) {
            const QImage turned = page.transformed(QTransform().rotate(turn));
            QRect inked;
            for (int y = 0; y < turned.height(); ++y)
                for (int x = 0; x < turned.width(); ++x)
                    if (qGray(turned.pixel(x, y)) < 248)
                        inked |= QRect(x, y, 1, 1);
            const QImage scaled =
                area.scaled(inked.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const double difference = compare(turned.copy(inked), scaled).second;
            if (difference < mean)
                best = inked, mean = difference;
        }
        std::printf("%d %d %d %d %.2f\n", best.x(), best.y(), best.width(), best.height(), mean);
        return mean >= 4;
    }
    if (command == "says" && argc == 9) // X Y W H FAMILY POINTS TEXT
        return !says(QRect(n[2], n[3], n[4], n[5]), QFont(QString::fromLocal8Bit(argv[6]), n[7]),
                     QString::fromLocal8Bit(argv[8]));
    std::fprintf(stderr,
                 "usage: xtool write-pattern | pattern | setroot | dump | same | find | sheet "
                 "| says, with the arguments their comments name\n");
    return 2;
}
