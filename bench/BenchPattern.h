#pragma once

#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdint>

// A noisy picture: every pixel its own colour, so nothing compresses it away and a picture that
// comes out shifted or swapped shows.
inline QImage benchPattern(QSize size, std::uint32_t seed = 1)
{
    QImage image(size, QImage::Format_RGB32);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xff000000u | (state >> 8);
        }
    }
    return image;
}

// A picture like a desktop: a plain background, windows with title bars, lines of text and a
// gradient, which compresses as real screens do.
inline QImage benchDesktop(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0x2e, 0x50, 0x7a));
    QPainter painter(&image);
    for (int w = 0; w < 6; ++w) {
        const QRect window(200 + w * 520, 150 + w * 260, 1500, 1000);
        painter.fillRect(window, QColor(0xf4, 0xf4, 0xf4));
        QLinearGradient title(window.topLeft(), window.topRight());
        title.setColorAt(0, QColor(0x30, 0x60, 0xa0));
        title.setColorAt(1, QColor(0x90, 0xb0, 0xe0));
        painter.fillRect(QRect(window.topLeft(), QSize(window.width(), 48)), title);
        painter.setPen(Qt::black);
        for (int line = 0; line < 28; ++line)
            painter.drawText(
                window.x() + 24, window.y() + 90 + line * 32,
                QStringLiteral("Line %1 of a document, with words of all lengths.").arg(line + 1));
    }
    return image;
}

// A field of /proc/self/status in kilobytes, such as VmHWM, the peak resident memory.
inline long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    return -1;
}
