// Print figures through the test print spooler: the time from the end of the preview to the
// page handed to the spooler, for a 3840 x 2160 shot at 100 %.
//
//   bench_print [RUNS]   median in milliseconds

#include "BenchPattern.h"
#include "capture/CropSelection.h"
#include "platform/Printer.h"
#include "platform/qt/QtServices.h"
#include "printing/PrintJob.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 5;
    QtPlatform real({QStringLiteral("glimmerbox")});
    IPrinter &printer = *real.services().printer;
    const QImage shot = benchPattern(QSize(3840, 2160));

    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        waitForIdleSpooler();
        clock.start();
        // What Print Now does once the preview and the pop-up are closed: composing the page,
        // drawing it on the printer and handing the document to the spooler.
        PrintJob::printPage(printer, PrintJob::composePageImage(shot, shot.rect(), 1.0f, 15, 15));
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    waitForIdleSpooler();
    std::sort(times.begin(), times.end());
    std::printf("print_4k_ms %.1f\n", times[times.size() / 2]);
    shot.save(QStringLiteral("bench-shot.png"));
    return 0;
}
