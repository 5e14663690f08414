#include "XShmScreenGrabber.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace {

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The root visual as 32-bit pixels of 0xRRGGBB in the machine's byte order: what a shot holds.
bool rootIsRgb32(xcb_connection_t *connection, const xcb_screen_t &screen)
{
    if (screen.root_depth != 24)
        return false;
    const xcb_setup_t *setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    bool thirtyTwoBits = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        thirtyTwoBits |=
            f.data->depth == 24 && f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    if (!thirtyTwoBits)
        return false;
    for (auto d = xcb_screen_allowed_depths_iterator(&screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen.root_visual)
                return v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
                       v.data->blue_mask == 0xff;
    return false;
}

} // namespace

// A shot's memory: a shared segment that the server keeps attached, so that reading the screen
// into it again costs the server no new pages.
struct XShmScreenGrabber::Segment
{
    std::shared_ptr<Pool> pool;
    void *address = nullptr;
    size_t bytes = 0;
    xcb_shm_seg_t server = 0;
};

// The memory of shots that are gone, kept for the next grab: a fresh segment costs the server a
// page fault for every page of the screen, four times the reading itself. One is kept; the
// rest go back to the system. Shots are let go on whatever thread held them last.
struct XShmScreenGrabber::Pool
{
    std::mutex lock;
    std::unique_ptr<Segment> spare;
    std::vector<xcb_shm_seg_t> toDetach; // the server lets go of these at the next grab
};

void XShmScreenGrabber::shotReleased(void *info)
{
    std::unique_ptr<Segment> segment(static_cast<Segment *>(info));
    const std::shared_ptr<Pool> pool = std::move(segment->pool);
    std::lock_guard guard(pool->lock);
    if (pool->spare) {
        pool->toDetach.push_back(segment->server);
        shmdt(segment->address);
        return;
    }
    pool->spare = std::move(segment);
}

XShmScreenGrabber::XShmScreenGrabber()
    : m_pool(std::make_shared<Pool>())
{}

XShmScreenGrabber::~XShmScreenGrabber()
{
    // Shots still held keep their memory; the spare goes now.
    std::lock_guard guard(m_pool->lock);
    if (m_pool->spare)
        shmdt(m_pool->spare->address);
    m_pool->spare.reset();
}

std::unique_ptr<XShmScreenGrabber::Segment> XShmScreenGrabber::segment(xcb_connection_t *connection,
                                                                       size_t bytes)
{
    {
        std::lock_guard guard(m_pool->lock);
        for (xcb_shm_seg_t gone : m_pool->toDetach)
            xcb_shm_detach(connection, gone);
        m_pool->toDetach.clear();
        if (m_pool->spare && m_pool->spare->bytes == bytes)
            return std::move(m_pool->spare);
        if (m_pool->spare) { // the screen changed size
            xcb_shm_detach(connection, m_pool->spare->server);
            shmdt(m_pool->spare->address);
            m_pool->spare.reset();
        }
    }
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return {};
    void *address = shmat(id, nullptr, 0);
    const xcb_shm_seg_t server = xcb_generate_id(connection);
    const bool mapped = address != reinterpret_cast<void *>(-1);
    const Reply<xcb_generic_error_t> refused(
        mapped ? xcb_request_check(connection,
                                   xcb_shm_attach_checked(connection, server, uint32_t(id), 0))
               : nullptr,
        &std::free);
    // Marked for removal at once: the memory goes when the last user lets go of it, even if the
    // program is killed.
    shmctl(id, IPC_RMID, nullptr);
    if (mapped && refused)
        shmdt(address);
    if (!mapped || refused)
        return {};
    return std::make_unique<Segment>(Segment{nullptr, address, bytes, server});
}

// The shot's memory as a shared segment the server writes into; null when it cannot be had or
// the server will not take it.
QImage XShmScreenGrabber::readIntoSharedMemory(xcb_connection_t *connection, xcb_window_t root,
                                               const QRect &area)
{
    const size_t bytes = size_t(area.width()) * size_t(area.height()) * 4;
    std::unique_ptr<Segment> memory = segment(connection, bytes);
    if (!memory)
        return {};
    xcb_generic_error_t *failure = nullptr;
    Reply<xcb_shm_get_image_reply_t> reply(
        xcb_shm_get_image_reply(connection,
                                xcb_shm_get_image(connection, root, int16_t(area.x()),
                                                  int16_t(area.y()), uint16_t(area.width()),
                                                  uint16_t(area.height()), ~0u,
                                                  XCB_IMAGE_FORMAT_Z_PIXMAP, memory->server, 0),
                                &failure),
        &std::free);
    const bool failed = failure != nullptr;
    std::free(failure);
    if (!reply || failed || reply->size < bytes) {
        xcb_shm_detach(connection, memory->server);
        shmdt(memory->address);
        return {};
    }
    memory->pool = m_pool;
    void *address = memory->address;
    return QImage(static_cast<uchar *>(address), area.width(), area.height(), area.width() * 4,
                  QImage::Format_RGB32, shotReleased, memory.release());
}

ScreenGrab XShmScreenGrabber::grabPrimaryScreen()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    QScreen *primary = QGuiApplication::primaryScreen();
    if (m_unusable || !x11 || !x11->connection() || !primary)
        return m_fallback.grabPrimaryScreen();
    xcb_connection_t *connection = x11->connection();
    const xcb_query_extension_reply_t *shm = xcb_get_extension_data(connection, &xcb_shm_id);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!shm || !shm->present || !screen || !rootIsRgb32(connection, *screen)) {
        m_unusable = true;
        return m_fallback.grabPrimaryScreen();
    }
    // The primary screen's part of the root window, in device pixels as the server counts them.
    const qreal ratio = primary->devicePixelRatio();
    const QRect logical = primary->geometry();
    const QRect area =
        QRect(QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio)),
              QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)))
            .intersected(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels));
    if (area.isEmpty())
        return m_fallback.grabPrimaryScreen();
    QImage shot = readIntoSharedMemory(connection, screen->root, area);
    if (shot.isNull()) {
        // Refused once, refused again: no point in asking at every grab.
        m_unusable = true;
        return m_fallback.grabPrimaryScreen();
    }
    return {shot, {}};
}
