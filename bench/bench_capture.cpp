// Capture figures on the real X server: copyDesktop, a whole grab without its half-second
// pause (capture, store, thumbnail, preview), and the memory that five full shots take. The
// references: Qt's own grab, and the floor for any reader of the screen through shared memory:
// one XShmGetImage into a segment made beforehand, and a copy out of it into warm memory.
//
//   bench_capture timing [RUNS]   medians in milliseconds
//   bench_capture memory          peak and current resident memory over six grabs, the sixth
//                                 replacing the first

#include "BenchPattern.h"
#include "capture/DesktopCapture.h"
#include "capture/ShotStore.h"
#include "designcontrols/PictureBox.h"
#include "platform/EventPump.h"
#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

struct Store
{
    Store(IScreenGrabber &grabber, IScreenMetrics &metrics, IEventPump &events)
        : grabber(grabber)
        , metrics(metrics)
        , events(events)
        , preview(metrics.twipsPerPixelX(), metrics.twipsPerPixelY())
    {
        preview.place(QRect(16, 16, 569, 417));
        preview.setBorder(2);
        for (int i = 0; i < ShotStore::SlotCount; ++i) {
            thumbBoxes[i] =
                std::make_unique<PictureBox>(metrics.twipsPerPixelX(), metrics.twipsPerPixelY());
            thumbBoxes[i]->place(QRect(616, 16 + 96 * i, 113, 81));
            thumbBoxes[i]->setBorder(1);
        }
    }
    // A grab as the window makes it, less its pause and its window: the shot kept, its thumbnail
    // and the preview painted.
    void grab()
    {
        pause(events, 0.5f);
        const int slot = store.nextSlot();
        const ScreenGrab shot = copyDesktop(grabber);
        if (!shot)
            return;
        store.store(slot, *shot);
        const PictureSurface &t = thumbBoxes[size_t(slot)]->surface();
        thumbBoxes[size_t(slot)]->paintPicture(*shot,
                                               QRectF(0, 0, t.scaleWidth(), t.scaleHeight()));
        preview.paintPicture(
            *shot, QRectF(0, 0, preview.surface().scaleWidth(), preview.surface().scaleHeight()));
    }
    IScreenGrabber &grabber;
    IScreenMetrics &metrics;
    IEventPump &events;
    PictureBox preview;
    std::array<std::unique_ptr<PictureBox>, ShotStore::SlotCount> thumbBoxes;
    ShotStore store{QImage()};
};

// The probe: what reading the screen through shared memory costs at best.
std::vector<double> sharedMemoryProbe(int runs)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const int w = screen->width_in_pixels, h = screen->height_in_pixels;
    const int id = shmget(IPC_PRIVATE, size_t(w) * h * 4, IPC_CREAT | 0600);
    void *segment = shmat(id, nullptr, 0);
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    std::free(xcb_request_check(c, xcb_shm_attach_checked(c, seg, uint32_t(id), 0)));
    shmctl(id, IPC_RMID, nullptr);
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(0);
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < runs + 3; ++i) {
        clock.start();
        std::free(xcb_shm_get_image_reply(c,
                                          xcb_shm_get_image(c, screen->root, 0, 0, uint16_t(w),
                                                            uint16_t(h), ~0u,
                                                            XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0),
                                          nullptr));
        std::memcpy(out.bits(), segment, size_t(w) * h * 4);
        if (i >= 3)
            times.push_back(clock.nsecsElapsed() / 1e6);
    }
    xcb_shm_detach(c, seg);
    xcb_flush(c);
    shmdt(segment);
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("timing");
    const int runs = argc > 2 ? std::max(3, atoi(argv[2])) : 31;

    const std::unique_ptr<IScreenGrabber> reader = chooseScreenGrabber();
    IScreenGrabber &grabber = *reader;
    QtScreenMetrics metrics;
    NoWait events;
    Store shots(grabber, metrics, events);

    if (mode == QLatin1String("memory")) {
        // Every shot is read after each grab, as printing or saving it would: memory that the
        // server filled counts only once this process touches it.
        quint64 sum = 0;
        for (int i = 0; i < ShotStore::SlotCount + 1; ++i) {
            shots.grab();
            for (int slot = 0; slot < ShotStore::SlotCount; ++slot) {
                const QImage shot = shots.store.picture(slot);
                for (qsizetype at = 0; at < shot.sizeInBytes(); at += 4096)
                    sum += shot.constBits()[at];
            }
        }
        std::printf("touched %llu\n", static_cast<unsigned long long>(sum));
        std::printf("peak_rss_mb %.1f\ncurrent_rss_mb %.1f\nshot %dx%d\n",
                    statusKilobytes("VmHWM") / 1024.0, statusKilobytes("VmRSS") / 1024.0,
                    shots.store.picture(0).width(), shots.store.picture(0).height());
        return 0;
    }

    // The first grabs of a process are slow (the X server sets up shared memory); warm up.
    for (int i = 0; i < 5; ++i)
        shots.grab();

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
        const ScreenGrab shot = copyDesktop(grabber);
        copy.push_back(clock.nsecsElapsed() / 1e6);
    }
    for (int i = 0; i < runs; ++i) {
        clock.start();
        shots.grab();
        grab.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("qt_grab_ms %.2f\ncopydesktop_ms %.2f\ngrab_without_pause_ms %.2f\n"
                "shm_probe_ms %.2f\nshot %dx%d\n",
                median(qtGrab), median(copy), median(grab), median(sharedMemoryProbe(runs)),
                shots.store.picture(0).width(), shots.store.picture(0).height());
    return 0;
}
