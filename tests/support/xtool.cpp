// Small X11 helper for the scripts: put a picture or the test pattern on the root window, or
// save what the screen shows.

#include "TestPattern.h"
#include "X11Screen.h"

#include <QImage>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: xtool setroot FILE | pattern [SEED] | dump FILE\n");
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
    if (!std::strcmp(argv[1], "pattern")) {
        const int seed = argc > 2 ? std::atoi(argv[2]) : 0;
        if (!X11Screen::setRootPicture(TestPattern::make(X11Screen::size(), seed), &error)) {
            std::fprintf(stderr, "xtool: %s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (!std::strcmp(argv[1], "dump") && argc == 3) {
        const QImage screen = X11Screen::dump(&error);
        if (screen.isNull() || !screen.save(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "xtool: %s\n",
                         screen.isNull() ? qPrintable(error) : "cannot write the file");
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "xtool: unknown command\n");
    return 2;
}
