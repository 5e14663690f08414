#include "AutoDump.h"

#include "platform/WindowStateWatch.h"

#include <QEvent>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

namespace {

// What Auto-Dump was told and did: QT_LOGGING_RULES="glimmerbox.autodump.debug=true".
Q_LOGGING_CATEGORY(lcAutoDump, "glimmerbox.autodump", QtWarningMsg)

} // namespace

AutoDump::AutoDump(QWidget &window, QString title,
                   std::function<void(std::function<void()>)> printScreen)
    : QObject(&window)
    , m_window(window)
    , m_title(std::move(title))
    , m_printScreen(std::move(printScreen))
    , m_watch(new WindowStateWatch(window))
    , m_states(m_watch->restoreSign())
{
    // Maximised from the task bar while minimised (X11 keeps such a window minimised): the user
    // asked for the normal window, exactly as with a maximised one.
    connect(m_watch, &WindowStateWatch::maximisedWhileMinimised, this,
            [this] { feed(AutoDumpStates::Event::Maximised); });
    connect(m_watch, &WindowStateWatch::iconicChanged, this, [this](bool iconic) {
        feed(iconic ? AutoDumpStates::Event::Iconic : AutoDumpStates::Event::Mapped);
    });
    window.installEventFilter(this);
}

void AutoDump::enter()
{
    feed(AutoDumpStates::Event::Enter);
}

bool AutoDump::eventFilter(QObject *watched, QEvent *event)
{
    using enum AutoDumpStates::Event;
    const Qt::WindowStates state = m_window.windowState();
    // Maximise chosen for a window on the task bar leaves it minimised and maximised at once on
    // X11 (Windows restores it maximised); either way the user asked for the normal window.
    if (watched == &m_window && event->type() == QEvent::WindowStateChange)
        feed(state & Qt::WindowMaximized    ? Maximised
             : state & Qt::WindowMinimized  ? Minimised
             : state & Qt::WindowFullScreen ? FullScreen
                                            : Normal);
    if (watched == &m_window && event->type() == QEvent::ActivationChange)
        feed(m_window.isActiveWindow() ? Active : Inactive);
    return false;
}

void AutoDump::cycleEnded()
{
    if (!m_inCycle)
        return;
    m_inCycle = false;
    feed(AutoDumpStates::Event::CycleDone);
}

void AutoDump::cycle()
{
    m_inCycle = true;
    // Maximised meanwhile: no page, and the normal window keeps its normal caption.
    if (!isOn()) {
        cycleEnded();
        return;
    }
    m_window.setWindowTitle(QStringLiteral("Printing Screen Now"));
    // The page waits for any job before it; the cycle ends when its own page has gone.
    m_printScreen([this] { cycleEnded(); });
}

void AutoDump::feed(AutoDumpStates::Event event)
{
    const unsigned actions = m_states.feed(event);
    qCDebug(lcAutoDump, "%s -> %u", AutoDumpStates::name(event), actions);
    if (actions & AutoDumpStates::Minimise)
        m_window.setWindowState(Qt::WindowMinimized);
    if (actions & AutoDumpStates::ShowWaiting)
        m_window.setWindowTitle(QStringLiteral("Click to Print Screen"));
    // The cycle starts once the state changes already queued have been handled: a restore
    // reported meanwhile only goes back to the task bar.
    if (actions & AutoDumpStates::StartCycle)
        QTimer::singleShot(0, this, &AutoDump::cycle);
    if (actions & AutoDumpStates::Leave) {
        m_window.setWindowState(Qt::WindowNoState);
        // Some window managers keep a window maximised from the task bar on it: take it off.
        m_window.activateWindow();
        m_window.setWindowTitle(m_title);
        emit left();
    }
}
