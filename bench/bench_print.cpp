// Print figures through the test print spooler: the time from the end of the preview to the page
// handed to the spooler, for a 3840 x 2160 shot fitted to the sheet and a 1920 x 1080 one at
// 50 %, each on a noisy pattern and on a picture like a desktop; the longest the window's event
// loop waits meanwhile; and the peak memory of one 3840 x 2160 job, next to the job as it was
// before, which composed a white page picture of the shot's size and printed the sheet's part
// of it.
//
//   bench_print [RUNS]          medians in milliseconds, the longest stall
//   bench_print memory new|old  peak resident memory of one job, in MB

#include "BenchPattern.h"
#include "platform/Printer.h"
#include "platform/qt/QtServices.h"
#include "printing/BackgroundPrint.h"
#include "printing/PrintJob.h"
#include "printing/SheetLayout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
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

// The job as it was: the area centred on a white page picture of the shot's size, whose part
// on the sheet went to the printer at 1/96 inch per pixel from the sheet's corner.
bool printTheOldWay(IPrinter &printer, const QImage &shot, double zoom)
{
    QImage page(shot.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    const QSizeF size = QSizeF(shot.size()) * zoom;
    QPainter(&page).drawImage(
        QRectF(QPointF(shot.width() - size.width(), shot.height() - size.height()) / 2, size),
        shot);
    const QRect onSheet =
        QRectF(QPointF(0, 0), printer.printableSize()).toAlignedRect().intersected(page.rect());
    return PrintJob::printPicture(printer, page.copy(onSheet), QRectF(onSheet));
}

struct Figures
{
    double job, stall;
};

// Print Now's job as the window runs it, with a timer that ticks every millisecond on the
// window's thread meanwhile.
Figures printInBackground(IPrinter &printer, const QImage &shot, double zoom)
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
    printing.start(printer.forJob(), [shot, zoom](IPrinter &job) {
        return PrintJob::printPage(job, shot, shot.rect(), zoom);
    });
    loop.exec();
    const double job = clock.nsecsElapsed() / 1e6;
    return {job, std::max(stall, sinceTick.nsecsElapsed() / 1e6)};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtPlatform real({QStringLiteral("glimmerbox")});
    IPrinter &printer = *real.services().printer;
    const QSize uhd(3840, 2160), hd(1920, 1080);
    const double fitted = fittingZoom(printer.printableSize(), uhd);
    if (argc == 3 && QByteArray(argv[1]) == "memory") {
        const QImage shot = benchPattern(uhd);
        const bool old = QByteArray(argv[2]) == "old";
        auto job = printer.forJob();
        const bool printed = old ? printTheOldWay(*job, shot, fitted)
                                 : PrintJob::printPage(*job, shot, shot.rect(), fitted);
        waitForIdleSpooler();
        std::printf("peak_rss_mb %.1f\n", statusKilobytes("VmHWM") / 1024.0);
        return printed ? 0 : 1;
    }
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 5;
    struct Case
    {
        const char *name;
        QImage shot;
        double zoom;
        std::vector<double> job, stall;
    };
    std::vector<Case> cases{{"uhd_fitted_noise", benchPattern(uhd), fitted, {}, {}},
                            {"uhd_fitted_desktop", benchDesktop(uhd), fitted, {}, {}},
                            {"hd_half_noise", benchPattern(hd), 0.5, {}, {}},
                            {"hd_half_desktop", benchDesktop(hd), 0.5, {}, {}}};
    for (int i = 0; i < runs; ++i)
        for (Case &c : cases) {
            waitForIdleSpooler();
            const Figures f = printInBackground(printer, c.shot, c.zoom);
            c.job.push_back(f.job);
            c.stall.push_back(f.stall);
        }
    waitForIdleSpooler();
    for (const Case &c : cases) {
        std::printf("%s_ms %.1f\nstall_%s_ms %.1f\n", c.name, median(c.job), c.name,
                    *std::max_element(c.stall.begin(), c.stall.end()));
        c.shot.save(QStringLiteral("%1.png").arg(QLatin1String(c.name)));
    }
    std::printf("uhd_fitted_zoom %.3f\n", fitted);
    return 0;
}
