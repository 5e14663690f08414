#include "platform/GlobalKey.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include <windows.h>

namespace {

constexpr int HotKeyId = 1;

} // namespace

struct GlobalKey::Native : QAbstractNativeEventFilter
{
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        const auto *msg = static_cast<const MSG *>(message);
        if (eventType != "windows_generic_MSG" || msg->message != WM_HOTKEY ||
            msg->wParam != HotKeyId)
            return false;
        QMetaObject::invokeMethod(owner, &GlobalKey::pressed, Qt::QueuedConnection);
        return true;
    }

    GlobalKey *owner = nullptr;
    HWND window = nullptr;
};

GlobalKey::GlobalKey(QWidget &window)
    : QObject(&window)
{
    auto native = std::make_unique<Native>();
    native->owner = this;
    native->window = HWND(window.winId());
    if (!::RegisterHotKey(native->window, HotKeyId, MOD_CONTROL | MOD_NOREPEAT, VK_SNAPSHOT)) {
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
    ::UnregisterHotKey(m_native->window, HotKeyId);
}
