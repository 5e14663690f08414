// Print figures through the test print spooler, for a 3840 x 2160 shot at 100 %: the time from
// the end of the preview to the page handed to the spooler, on a noisy pattern and on a picture
// like a desktop; the longest the window's event loop waits meanwhile; and, as the reference,
// the same page drawn whole on the printer, as the program did before it drew only what lands
// on the sheet and drew it on a thread of its own.
//
//   bench_print [RUNS]   medians in milliseconds

#include "BenchPattern.h"
#include "platform/Printer.h"
#include "platform/qt/QtServices.h"
#include "printing/BackgroundPrint.h"
#include "printing/PrintJob.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void waitForIdleSpooler()
{
    for (int i = 0; i < 600; ++i) {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
        lpstat.waitForFinished();
        if (lpstat.readAllStandardOutput().trimmed().isEmpty())
            return;
        QThread::msleep(100);
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The page drawn whole, on the window's thread.
void printWhole(const QImage &page)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Glimmerbox"));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());
    QPainter painter(&printer);
    const double dotsPerPixel = printer.resolution() / 96.0;
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(QRectF(0, 0, page.width() * dotsPerPixel, page.height() * dotsPerPixel),
                      page);
}

struct Figures
{
    double job, stall;
};

// Print Now's job as the window runs it, with a timer that ticks every millisecond on the
// window's thread meanwhile.
Figures printInBackground(IPrinter &printer, const QImage &shot)
{
    BackgroundPrint printing;
    QEventLoop loop;
    QObject::connect(&printing, &BackgroundPrint::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock, sinceTick;
    double stall = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        stall = std::max(stall, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.start();
    });
    clock.start();
    sinceTick.start();
    tick.start(1);
    printing.start(printer.forJob(),
                   [shot] { return PrintJob::composePageImage(shot, shot.rect(), 1.0f, 15, 15); });
    loop.exec();
    const double job = clock.nsecsElapsed() / 1e6;
    return {job, std::max(stall, sinceTick.nsecsElapsed() / 1e6)};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 5;
    QtPlatform real({QStringLiteral("glimmerbox")});
    IPrinter &printer = *real.services().printer;
    const QImage noise = benchPattern(QSize(3840, 2160));
    const QImage desktop = benchDesktop(QSize(3840, 2160));

    std::vector<double> noiseJob, noiseStall, desktopJob, desktopStall, whole;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        waitForIdleSpooler();
        const Figures n = printInBackground(printer, noise);
        noiseJob.push_back(n.job);
        noiseStall.push_back(n.stall);
        waitForIdleSpooler();
        const Figures d = printInBackground(printer, desktop);
        desktopJob.push_back(d.job);
        desktopStall.push_back(d.stall);
        waitForIdleSpooler();
        clock.start();
        printWhole(PrintJob::composePageImage(noise, noise.rect(), 1.0f, 15, 15));
        whole.push_back(clock.nsecsElapsed() / 1e6);
    }
    waitForIdleSpooler();
    std::printf("print_noise_ms %.1f\nprint_desktop_ms %.1f\nprint_whole_ms %.1f\n"
                "stall_noise_ms %.1f\nstall_desktop_ms %.1f\n",
                median(noiseJob), median(desktopJob), median(whole),
                *std::max_element(noiseStall.begin(), noiseStall.end()),
                *std::max_element(desktopStall.begin(), desktopStall.end()));
    noise.save(QStringLiteral("bench-shot.png"));
    return 0;
}
