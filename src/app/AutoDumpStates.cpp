#include "AutoDumpStates.h"

const char *AutoDumpStates::name(Event event)
{
    static const char *const names[] = {"enter",  "minimised", "normal", "maximised", "fullscreen",
                                        "active", "inactive",  "iconic", "mapped",    "done"};
    static_assert(sizeof names / sizeof *names == unsigned(Event::Count));
    return names[unsigned(event)];
}

unsigned AutoDumpStates::feed(Event event)
{
    using enum Event;
    if (event == CycleDone) {
        m_cycle = false;
        return m_on ? ShowWaiting : None;
    }
    if (event == Enter) {
        m_on = true;
        // The window starts minimised and inactive; on X11 it may still pass through Normal on
        // its way to the task bar, and only the Iconic state that follows counts.
        m_armed = m_restores == TaskBarRestore::ByActivation;
        return Minimise | ShowWaiting;
    }
    if (!m_on)
        return None;
    if (event == Maximised) {
        m_on = false;
        return Leave;
    }
    switch (m_restores) {
    case TaskBarRestore::ByState:
        return event == Normal ? restored() : None;
    case TaskBarRestore::ByMapping:
        return arm(event == Iconic, event == Mapped);
    case TaskBarRestore::ByActivation:
        return arm(event == Inactive, event == Active);
    }
    return None;
}

unsigned AutoDumpStates::arm(bool away, bool back)
{
    // Only a return after the window was away is the user's; during a cycle every return is sent
    // back to the task bar. WM_STATE says where the window is; but a compositor hands activation
    // back to the window after the cycle's pop-up, even once the cycle is over, so becoming
    // inactive during a cycle does not count.
    if (away && (!m_cycle || m_restores == TaskBarRestore::ByMapping))
        m_armed = true;
    if (!back)
        return None;
    // Not away before: the window system showed the window on its own (KWin activates it when
    // the cycle's pop-up closes, even after the window went back): back to the task bar, no page.
    if (!(m_armed || m_cycle))
        return Minimise;
    m_armed = false;
    return restored();
}

unsigned AutoDumpStates::restored()
{
    if (m_cycle)
        return Minimise;
    m_cycle = true;
    return Minimise | StartCycle;
}
