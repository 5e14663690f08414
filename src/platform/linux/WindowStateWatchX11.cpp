#include "platform/WindowStateWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

class StateFilter : public QAbstractNativeEventFilter
{
public:
    StateFilter(WindowStateWatch &watch, QWidget &window, xcb_connection_t *connection)
        : m_watch(watch)
        , m_window(window)
        , m_connection(connection)
        , m_netWmState(internAtom(connection, "_NET_WM_STATE"))
        , m_hidden(internAtom(connection, "_NET_WM_STATE_HIDDEN"))
        , m_maxVert(internAtom(connection, "_NET_WM_STATE_MAXIMIZED_VERT"))
        , m_maxHorz(internAtom(connection, "_NET_WM_STATE_MAXIMIZED_HORZ"))
        , m_wmState(internAtom(connection, "WM_STATE"))
    {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (!m_window.internalWinId() || notify->window != xcb_window_t(m_window.internalWinId()))
            return false;
        if (notify->atom == m_wmState) {
            reportWmState(notify->window);
            return false;
        }
        if (notify->atom != m_netWmState)
            return false;
        const bool both = hiddenAndMaximised(notify->window);
        // Report the change into that state once, not every property change while in it.
        if (both && !m_wasBoth)
            QMetaObject::invokeMethod(&m_watch, &WindowStateWatch::maximisedWhileMinimised,
                                      Qt::QueuedConnection);
        m_wasBoth = both;
        return false;
    }

private:
    // Queued like the maximised report, so the form sees both in the order they happened.
    void reportWmState(xcb_window_t window)
    {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_connection, 0, window, m_wmState, m_wmState, 0, 1);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
            return; // withdrawn: neither minimised nor restored
        const uint32_t state = *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
        const uint32_t Normal = 1, Iconic = 3;
        if (state == Normal || state == Iconic)
            QMetaObject::invokeMethod(
                &m_watch,
                [watch = &m_watch, iconic = state == Iconic] { emit watch->iconicChanged(iconic); },
                Qt::QueuedConnection);
    }

    bool hiddenAndMaximised(xcb_window_t window) const
    {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_connection, 0, window, m_netWmState, XCB_ATOM_ATOM, 0, 64);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        if (!reply || reply->format != 32)
            return false;
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
        bool hidden = false, vert = false, horz = false;
        for (int i = 0; i < count; ++i) {
            hidden |= atoms[i] == m_hidden;
            vert |= atoms[i] == m_maxVert;
            horz |= atoms[i] == m_maxHorz;
        }
        return hidden && vert && horz;
    }

    WindowStateWatch &m_watch;
    QWidget &m_window;
    xcb_connection_t *m_connection;
    xcb_atom_t m_netWmState, m_hidden, m_maxVert, m_maxHorz, m_wmState;
    bool m_wasBoth = false;
};

WindowStateWatch::WindowStateWatch(QWidget &window)
    : QObject(&window)
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        // Not on X11: the toolkit reports maximised windows itself.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            m_sign = TaskBarRestore::ByActivation;
        return;
    }
    m_sign = TaskBarRestore::ByMapping;
    m_filter = new StateFilter(*this, window, x11->connection());
    QCoreApplication::instance()->installNativeEventFilter(m_filter);
}

WindowStateWatch::~WindowStateWatch()
{
    if (m_filter) {
        QCoreApplication::instance()->removeNativeEventFilter(m_filter);
        delete m_filter;
    }
}
