// Small X11 helper for the scripts: put a picture or the test pattern on the root window, or
// save what the screen shows.

#include "TestPattern.h"
#include "X11Screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>
#include <cstring>

namespace {

// A believable desktop for pictures of the program: a sky, and a document window on it.
QImage mockDesktop(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(38, 84, 140));
    sky.setColorAt(1, QColor(126, 176, 214));
    p.fillRect(image.rect(), sky);
    const QRect window(size.width() / 14, size.height() / 10, size.width() * 5 / 8,
                       size.height() * 3 / 4);
    p.fillRect(window, QColor(250, 250, 246));
    p.fillRect(QRect(window.topLeft(), QSize(window.width(), 26)), QColor(70, 90, 120));
    p.setPen(Qt::white);
    p.drawText(window.adjusted(10, 5, 0, 0), QStringLiteral("Quarterly report.txt"));
    p.setPen(QColor(40, 40, 40));
    QFont font = p.font();
    font.setPixelSize(15);
    p.setFont(font);
    const char *lines[] = {"Sales rose in every region this quarter.",
                           "",
                           "North      1,204   +8 %",
                           "South        987   +3 %",
                           "East       1,530  +12 %",
                           "West         876   +1 %",
                           "",
                           "Print exactly what you see."};
    int y = window.top() + 60;
    for (const char *line : lines) {
        p.drawText(window.left() + 24, y, QString::fromLatin1(line));
        y += 24;
    }
    p.fillRect(QRect(window.left() + 24, y + 10, 300, 120), QColor(230, 236, 245));
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(window.left() + 44 + i * 70, y + 110 - (i + 2) * 18, 40, (i + 2) * 18),
                   QColor(60 + i * 40, 120, 200 - i * 30));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    // Qt only draws and encodes here; the X server is reached through Xlib directly.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: xtool setroot FILE | pattern [SEED] | desktop | dump FILE [X "
                             "Y W H] | pick OUT REFERENCE CANDIDATES... | same A B\n");
        return 2;
    }
    QString error;
    if (!std::strcmp(argv[1], "setroot") && argc == 3) {
        const QImage picture(QString::fromLocal8Bit(argv[2]));
        if (picture.isNull() || !X11Screen::setRootPicture(picture, &error)) {
            std::fprintf(stderr, "xtool: %s\n",
                         picture.isNull() ? "cannot read the picture" : qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (!std::strcmp(argv[1], "write-pattern") && argc >= 5) {
        // A pattern picture of a size, for screens this tool cannot reach.
        const int seed = argc > 5 ? std::atoi(argv[5]) : 0;
        return TestPattern::make(QSize(std::atoi(argv[3]), std::atoi(argv[4])), seed)
                       .save(QString::fromLocal8Bit(argv[2]))
                   ? 0
                   : 1;
    }
    if (!std::strcmp(argv[1], "pattern")) {
        const int seed = argc > 2 ? std::atoi(argv[2]) : 0;
        if (!X11Screen::setRootPicture(TestPattern::make(X11Screen::size(), seed), &error)) {
            std::fprintf(stderr, "xtool: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (!std::strcmp(argv[1], "desktop")) {
        if (!X11Screen::setRootPicture(mockDesktop(X11Screen::size()), &error)) {
            std::fprintf(stderr, "xtool: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (!std::strcmp(argv[1], "dump") && (argc == 3 || argc == 7)) {
        QImage screen = X11Screen::dump(&error);
        if (argc == 7)
            screen = screen.copy(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                 std::atoi(argv[6]));
        if (screen.isNull() || !screen.save(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "xtool: %s\n",
                         screen.isNull() ? qPrintable(error) : "cannot write the file");
            return 1;
        }
        return 0;
    }
    if (!std::strcmp(argv[1], "same") && argc == 4) {
        // Exit 0 when two pictures have the same size and pixels.
        const QImage a(QString::fromLocal8Bit(argv[2]));
        const QImage b(QString::fromLocal8Bit(argv[3]));
        return !a.isNull() && TestPattern::differingPixels(a, b) == 0 ? 0 : 1;
    }
    if (!std::strcmp(argv[1], "pick") && argc > 4) {
        // Of several pictures, keeps the one that differs most from a reference.
        const QImage reference(QString::fromLocal8Bit(argv[3]));
        QImage best;
        qsizetype bestCount = -1;
        for (int i = 4; i < argc; ++i) {
            const QImage candidate(QString::fromLocal8Bit(argv[i]));
            const qsizetype count = TestPattern::differingPixels(candidate, reference);
            if (count > bestCount) {
                bestCount = count;
                best = candidate;
            }
        }
        return best.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    std::fprintf(stderr, "xtool: unknown command\n");
    return 2;
}
