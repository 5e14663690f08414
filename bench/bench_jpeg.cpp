// JPEG save figures for a 3840 x 2160 shot: the whole save (encoding, safe write beside the old
// file), against the bare encoding of the same pixels by libjpeg-turbo alone. And the files a
// 1920 x 1080 desktop makes as PNG and as a bitmap, with the time each takes.
//
//   bench_jpeg FOLDER [RUNS]   medians in milliseconds; leaves FOLDER/shot.ppm for cjpeg

#include "BenchPattern.h"
#include "imaging/JpegWriter.h"
#include "platform/qt/QtServices.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <turbojpeg.h>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 15;
    const QImage shot = benchPattern(QSize(3840, 2160), 8);

    QtFiles files;
    JpegWriter writer(files);
    const QString target = folder.filePath(QStringLiteral("shot.jpg"));
    // The save and the bare encoding take turns, so that whatever else the machine does weighs
    // on both alike.
    tjhandle encoder = tjInitCompress();
    std::vector<double> save, bare;
    QElapsedTimer clock;
    for (int i = 0; i < runs + 2; ++i) {
        clock.start();
        if (!writer.save(shot, target)) // the first saves create, the rest replace
            return 1;
        const double saved = clock.nsecsElapsed() / 1e6;
        unsigned char *jpeg = nullptr;
        unsigned long size = 0;
        clock.start();
        tjCompress2(encoder, shot.constBits(), shot.width(), int(shot.bytesPerLine()),
                    shot.height(), TJPF_BGRX, &jpeg, &size, TJSAMP_420, 90, TJFLAG_ACCURATEDCT);
        if (i >= 2) {
            save.push_back(saved);
            bare.push_back(clock.nsecsElapsed() / 1e6);
        }
        tjFree(jpeg);
    }
    tjDestroy(encoder);

    shot.convertToFormat(QImage::Format_RGB888).save(folder.filePath(QStringLiteral("shot.ppm")));
    std::printf("save_ms %.2f\nbare_encode_ms %.2f\n", median(save), median(bare));

    const QImage desktop = benchDesktop(QSize(1920, 1080));
    for (const char *type : {"png", "bmp"}) {
        const QString file = folder.filePath(QStringLiteral("desktop.") + QLatin1String(type));
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            clock.start();
            desktop.save(file, type);
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("%s_ms %.2f\n%s_kb %.0f\n", type, median(times), type,
                    QFileInfo(file).size() / 1024.0);
    }
    return 0;
}
