// Capture figures on the real X server: CopyDesktop, a whole grab without its half-second
// pause (capture, store, thumbnail, preview), and the memory that five full shots take.
//
//   bench_capture timing [RUNS]   medians in milliseconds
//   bench_capture memory          peak and current resident memory after five grabs

#include "capture/DesktopCapture.h"
#include "capture/ShotStore.h"
#include "platform/EventPump.h"
#include "platform/PictureBox.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The grab's pause costs nothing here: only the work around it is measured.
class NoWait final : public IEventPump
{
public:
    void doEvents() override {}
    void runFor(int milliseconds) override { m_now += milliseconds / 1000.0; }
    double monotonicSeconds() const override { return m_now; }

private:
    double m_now = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long statusKilobytes(const char *field)
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

struct Store
{
    Store(IScreenGrabber &grabber, IScreenMetrics &metrics, IEventPump &events)
        : grabber(grabber)
        , metrics(metrics)
        , events(events)
        , picture1(metrics.twipsPerPixelX(), metrics.twipsPerPixelY())
        , preview(metrics.twipsPerPixelX(), metrics.twipsPerPixelY())
    {
        preview.place(QRect(16, 16, 569, 417));
        preview.setBorder(2);
        std::array<PictureBox *, ShotStore::SlotCount> thumbs{};
        for (int i = 0; i < ShotStore::SlotCount; ++i) {
            thumbBoxes[i] =
                std::make_unique<PictureBox>(metrics.twipsPerPixelX(), metrics.twipsPerPixelY());
            thumbBoxes[i]->place(QRect(616, 16 + 96 * i, 113, 81));
            thumbBoxes[i]->setBorder(1);
            thumbs[i] = thumbBoxes[i].get();
        }
        picture1.setAutoSize(true);
        store = std::make_unique<ShotStore>(ShotStore::Views{picture1, preview, label, thumbs});
    }
    // A grab as the window makes it, less its pause and its window.
    void grab()
    {
        Pause(events, 0.5f);
        if (CopyDesktop(picture1, grabber, metrics))
            store->storeShot(store->nextSlot());
    }
    IScreenGrabber &grabber;
    IScreenMetrics &metrics;
    IEventPump &events;
    PictureSurface picture1;
    PictureBox preview;
    QLabel label;
    std::array<std::unique_ptr<PictureBox>, ShotStore::SlotCount> thumbBoxes;
    std::unique_ptr<ShotStore> store;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("timing");
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 31;

    QtScreenGrabber grabber;
    QtScreenMetrics metrics;
    NoWait events;
    Store shots(grabber, metrics, events);

    if (mode == QLatin1String("memory")) {
        for (int i = 0; i < ShotStore::SlotCount; ++i)
            shots.grab();
        std::printf("peak_rss_mb %.1f\ncurrent_rss_mb %.1f\nshot %dx%d\n",
                    statusKilobytes("VmHWM") / 1024.0, statusKilobytes("VmRSS") / 1024.0,
                    shots.store->GrabbedImage[0].width(), shots.store->GrabbedImage[0].height());
        return 0;
    }

    // The first grabs of a process are slow (the X server sets up shared memory); warm up.
    for (int i = 0; i < 5; ++i)
        shots.grab();

    PictureSurface buffer(metrics.twipsPerPixelX(), metrics.twipsPerPixelY());
    buffer.setAutoSize(true);
    std::vector<double> copy;
    std::vector<double> grab;
    std::vector<double> qtGrab;
    QElapsedTimer clock;
    // The floor: Qt's own screen grab, with nothing of ours around it.
    for (int i = 0; i < runs; ++i) {
        clock.start();
        const QImage pixels = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        qtGrab.push_back(clock.nsecsElapsed() / 1e6);
    }
    for (int i = 0; i < runs; ++i) {
        clock.start();
        CopyDesktop(buffer, grabber, metrics);
        copy.push_back(clock.nsecsElapsed() / 1e6);
    }
    buffer.setPicture(QImage());
    for (int i = 0; i < runs; ++i) {
        clock.start();
        shots.grab();
        grab.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("qt_grab_ms %.2f\ncopydesktop_ms %.2f\ngrab_without_pause_ms %.2f\nshot %dx%d\n",
                median(qtGrab), median(copy), median(grab), shots.store->GrabbedImage[0].width(),
                shots.store->GrabbedImage[0].height());
    return 0;
}
