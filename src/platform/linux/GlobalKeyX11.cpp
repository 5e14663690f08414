#include "platform/GlobalKey.h"

#include "KdeShortcut.h"
#include "WaylandSession.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr xcb_keysym_t PrintKey = 0xff61; // XK_Print

xcb_keycode_t keycodeOf(xcb_connection_t *connection, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count)),
            nullptr),
        &std::free);
    if (!mapping)
        return 0;
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perCode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code)
        for (int i = 0; i < perCode; ++i)
            if (symbols[code * perCode + i] == keysym)
                return xcb_keycode_t(setup->min_keycode + code);
    return 0;
}

// Caps Lock and Num Lock change the modifier state the server reports: the key is grabbed with
// each of them on and off.
const uint16_t LockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                 XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

} // namespace

struct GlobalKey::Native : QAbstractNativeEventFilter
{
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (press->detail != keycode || press->event != root ||
            !(press->state & XCB_MOD_MASK_CONTROL))
            return false;
        QMetaObject::invokeMethod(owner, &GlobalKey::pressed, Qt::QueuedConnection);
        return true;
    }

    // Every lock variant, whether or not its grab was taken: the server ignores the others.
    void ungrab() const
    {
        for (const uint16_t variant : LockVariants)
            xcb_ungrab_key(connection, keycode, root, uint16_t(XCB_MOD_MASK_CONTROL | variant));
        xcb_flush(connection);
    }

    GlobalKey *owner = nullptr;
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    xcb_keycode_t keycode = 0;
};

GlobalKey::GlobalKey(QWidget &window)
    : QObject(&window)
{
    // In a Wayland session an X program hears a key only while its own window has the
    // keyboard: the desktop's shortcut service is the only way, where there is one.
    if (waylandSession()) {
        if (!KdeShortcut::running()) {
            refuse(QStringLiteral("this desktop lets no program have a key of its own"));
            return;
        }
        auto *kde = new KdeShortcut(this);
        connect(kde, &KdeShortcut::pressed, this, &GlobalKey::pressed);
        connect(kde, &KdeShortcut::refused, this, &GlobalKey::refuse);
        return;
    }
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        refuse(QStringLiteral("this desktop lets no program have a key of its own"));
        return;
    }
    auto native = std::make_unique<Native>();
    native->owner = this;
    native->connection = x11->connection();
    native->root = xcb_setup_roots_iterator(xcb_get_setup(native->connection)).data->root;
    native->keycode = keycodeOf(native->connection, PrintKey);
    if (!native->keycode) {
        refuse(QStringLiteral("the keyboard has no Print key"));
        return;
    }
    bool taken = false;
    for (const uint16_t variant : LockVariants) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            native->connection, 0, native->root, uint16_t(XCB_MOD_MASK_CONTROL | variant),
            native->keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(native->connection, cookie)) {
            std::free(error);
            taken = true;
        }
    }
    if (taken) {
        native->ungrab();
        refuse(QStringLiteral("another program already holds Ctrl+Print"), true);
        return;
    }
    QCoreApplication::instance()->installNativeEventFilter(native.get());
    m_native = std::move(native);
}

GlobalKey::~GlobalKey()
{
    if (!m_native)
        return;
    QCoreApplication::instance()->removeNativeEventFilter(m_native.get());
    m_native->ungrab();
}
