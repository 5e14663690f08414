#pragma once

#include <QImage>

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
