#include "X11Screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace {

struct DisplayCloser
{
    void operator()(Display *d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr open(QString *error)
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display && error)
        *error = QStringLiteral("cannot open the X display (is DISPLAY set?)");
    return display;
}

} // namespace

namespace X11Screen {

bool setRootPicture(const QImage &picture, QString *error)
{
    DisplayPtr display = open(error);
    if (!display)
        return false;
    Display *d = display.get();
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const int depth = DefaultDepth(d, screen);
    if (depth != 24) {
        if (error)
            *error = QStringLiteral("the X screen must have depth 24");
        return false;
    }
    QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const Pixmap pixmap = XCreatePixmap(d, root, uint(pixels.width()), uint(pixels.height()), 24);
    XImage *image = XCreateImage(d, DefaultVisual(d, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char *>(pixels.bits()), uint(pixels.width()),
                                 uint(pixels.height()), 32, int(pixels.bytesPerLine()));
    const GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, image, 0, 0, 0, 0, uint(pixels.width()), uint(pixels.height()));
    XFreeGC(d, gc);
    image->data = nullptr; // owned by the QImage
    XDestroyImage(image);
    // The window keeps its background pixmap after we let go of it and disconnect.
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    XFreePixmap(d, pixmap);
    XSync(d, False);
    return true;
}

QImage dump(QString *error)
{
    DisplayPtr display = open(error);
    if (!display)
        return {};
    Display *d = display.get();
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const int w = DisplayWidth(d, screen);
    const int h = DisplayHeight(d, screen);
    XImage *image = XGetImage(d, root, 0, 0, uint(w), uint(h), AllPlanes, ZPixmap);
    if (!image) {
        if (error)
            *error = QStringLiteral("XGetImage failed");
        return {};
    }
    QImage result(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = 0xff000000u | quint32(XGetPixel(image, x, y));
    }
    XDestroyImage(image);
    return result;
}

QSize size()
{
    DisplayPtr display = open(nullptr);
    if (!display)
        return {};
    const int screen = DefaultScreen(display.get());
    return QSize(DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen));
}

} // namespace X11Screen
