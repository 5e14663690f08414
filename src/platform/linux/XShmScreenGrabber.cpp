#include "XShmScreenGrabber.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/randr.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
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

// The screen's size and monitors as the server has them now, asked together so that the grab
// waits for one answer; no monitors where the server cannot list them. The connection is Qt's,
// which has already agreed RandR's version with the server.
struct ScreenNow
{
    QSize size;
    QList<MonitorArea> monitors;
};

std::optional<ScreenNow> screenNow(xcb_connection_t *connection, xcb_window_t root)
{
    const xcb_get_geometry_cookie_t size = xcb_get_geometry(connection, root);
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(connection, &xcb_randr_id);
    const bool listed = randr && randr->present;
    xcb_randr_get_monitors_cookie_t monitors{};
    if (listed)
        monitors = xcb_randr_get_monitors(connection, root, 1);
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, size, nullptr), &std::free);
    xcb_generic_error_t *refused = nullptr; // an older server: taken here, not logged by Qt
    const Reply<xcb_randr_get_monitors_reply_t> reply(
        listed ? xcb_randr_get_monitors_reply(connection, monitors, &refused) : nullptr,
        &std::free);
    std::free(refused);
    if (!geometry)
        return std::nullopt;
    ScreenNow now{QSize(geometry->width, geometry->height), {}};
    if (reply)
        for (auto m = xcb_randr_get_monitors_monitors_iterator(reply.get()); m.rem;
             xcb_randr_monitor_info_next(&m))
            now.monitors.append(
                {QRect(m.data->x, m.data->y, m.data->width, m.data->height), m.data->primary != 0});
    return now;
}

// The area through the connection itself, for servers that share no memory with us.
QImage readThroughConnection(xcb_connection_t *connection, xcb_window_t root, const QRect &area)
{
    const Reply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root,
                                          int16_t(area.x()), int16_t(area.y()),
                                          uint16_t(area.width()), uint16_t(area.height()), ~0u),
                            nullptr),
        &std::free);
    const qsizetype bytes = qsizetype(area.width()) * area.height() * 4;
    if (!reply || xcb_get_image_data_length(reply.get()) < bytes)
        return {};
    QImage image(area.size(), QImage::Format_RGB32);
    std::memcpy(image.bits(), xcb_get_image_data(reply.get()), size_t(bytes));
    return image;
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
    // shmat's own failure value. NOLINTNEXTLINE(performance-no-int-to-ptr)
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
    return QImage(static_cast<uchar *>(address), area.width(), area.height(),
                  qsizetype(area.width()) * 4, QImage::Format_RGB32, shotReleased,
                  memory.release());
}

ScreenGrab XShmScreenGrabber::grabPrimaryScreen()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    QScreen *primary = QGuiApplication::primaryScreen();
    if (!x11 || !x11->connection() || !primary)
        return m_fallback.grabPrimaryScreen();
    xcb_connection_t *connection = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen || !rootIsRgb32(connection, *screen))
        return m_fallback.grabPrimaryScreen();
    // A request of an extension the server lacks would close the connection.
    const xcb_query_extension_reply_t *shm = xcb_get_extension_data(connection, &xcb_shm_id);
    m_unusable = m_unusable || !shm || !shm->present;
    // The screen as it is now: the size the connection started with goes stale when the screen
    // grows, and Qt may not have heard of the change yet.
    std::optional<ScreenNow> now = screenNow(connection, screen->root);
    if (!now)
        return Failure{QStringLiteral("the X server did not say how large the screen is")};
    if (now->monitors.isEmpty())
        now->monitors = {{deviceArea(primary->geometry(), primary->devicePixelRatio()), true}};
    const QRect area = primaryMonitorArea(now->monitors, primary->geometry().topLeft(), now->size);
    if (area.isEmpty())
        return Failure{QStringLiteral("the primary screen lies outside the X screen")};
    QImage shot = m_unusable ? QImage() : readIntoSharedMemory(connection, screen->root, area);
    // Refused once, refused again: no point in asking for shared memory at every grab.
    m_unusable = shot.isNull();
    if (shot.isNull())
        shot = readThroughConnection(connection, screen->root, area);
    if (shot.isNull())
        return Failure{QStringLiteral("the X server did not hand out the screen's pixels")};
    return shot;
}
