#include "WindowCentring.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

WindowCentring::WindowCentring(QWidget &window, std::function<QSize()> designSize)
    : m_window(window)
    , m_designSize(std::move(designSize))
{
    window.installEventFilter(this);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &WindowCentring::follow);
    follow(QGuiApplication::primaryScreen());
}

bool mostlyOutside(const QRect &frame, const QRect &area)
{
    const QRect inside = frame.intersected(area);
    return 2 * qint64(inside.width()) * inside.height() < qint64(frame.width()) * frame.height();
}

void WindowCentring::follow(QScreen *primary)
{
    if (primary)
        connect(primary, &QScreen::availableGeometryChanged, this, &WindowCentring::screensChanged,
                Qt::UniqueConnection);
    screensChanged();
}

void WindowCentring::screensChanged()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && m_window.isVisible() && m_window.windowState() == Qt::WindowNoState &&
        mostlyOutside(m_window.frameGeometry(), screen->availableGeometry()))
        centreOnScreen();
}

bool WindowCentring::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Show)
        shown();
    if (watched == &m_window && event->type() == QEvent::Resize)
        resized();
    return false;
}

void WindowCentring::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the window manager has framed the window only the client size is known; once it is
    // framed, the frame is what has to sit in the middle.
    const QSize size = m_window.isVisible() ? m_window.frameGeometry().size() : m_designSize();
    const QRect area = screen->availableGeometry();
    m_window.move(area.x() + (area.width() - size.width()) / 2,
                  area.y() + (area.height() - size.height()) / 2);
}

bool WindowCentring::isCentred(const QRect &frame) const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return true;
    const QRect area = screen->availableGeometry();
    return std::abs(frame.x() - (area.x() + (area.width() - frame.width()) / 2)) <= 1 &&
           std::abs(frame.y() - (area.y() + (area.height() - frame.height()) / 2)) <= 1;
}

void WindowCentring::start()
{
    m_started = true;
    // The window manager adds its frame a moment after the window is mapped, and may still be
    // placing the window then: keep looking until the framed window sits in the middle (for up
    // to two seconds). Without a window manager there is no frame to wait for.
    auto *poll = new QTimer(&m_window);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, &m_window, [this, poll, tries = 0]() mutable {
        QWidget &w = m_window;
        // Until the window is reparented the frame Qt reports can be nonsense (smaller than
        // the window itself): only a frame that holds the window counts.
        const QRect frame = w.frameGeometry();
        const bool framed = frame.size() != w.size() && frame.contains(w.geometry());
        if (framed && isCentred(frame)) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (framed) {
            centreOnScreen();
        } else if (tries == 10 || tries == 50) {
            // Qt may have read the frame before the window manager had put it up, and reads it
            // again only when the window is configured: a one-pixel move makes that happen.
            w.move(w.pos() + QPoint(0, 1));
        }
        if (++tries >= 100) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

void WindowCentring::shown()
{
    if (!m_started && !(m_window.windowState() & Qt::WindowMinimized))
        start();
}

void WindowCentring::resized()
{
    auto designed = [this] {
        return m_window.windowState() != Qt::WindowNoState || m_window.size() == m_designSize();
    };
    if (!designed())
        QTimer::singleShot(0, &m_window, [this, designed] {
            if (!designed())
                m_window.resize(m_designSize());
        });
}
