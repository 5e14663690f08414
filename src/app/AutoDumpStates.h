#pragma once

#include "platform/TaskBarRestore.h"

// Auto-Dump's window logic, fed the events each window system really delivers. A restore from
// the task bar prints one page; the window system's echoes of our own state changes, and restores
// reported while a cycle is due or running, only send the window back to the task bar.
class AutoDumpStates
{
public:
    enum class Event
    {
        Enter,     // the user chose Auto-Dump
        Minimised, // Qt's reported states
        Normal,
        Maximised, // also maximised while minimised, as X11 reports it
        FullScreen,
        Active, // activation, as Qt reports it
        Inactive,
        Iconic, // X11 WM_STATE
        Mapped,
        CycleDone, // the capture-and-print cycle is over
        Count
    };
    static const char *name(Event event);

    enum Action : unsigned
    {
        None = 0,
        Minimise = 1,
        StartCycle = 2,  // caption "Printing Screen Now", then capture and print
        ShowWaiting = 4, // caption "Click to Print Screen"
        Leave = 8,       // the normal window with its normal caption
    };

    explicit AutoDumpStates(TaskBarRestore restores)
        : m_restores(restores)
    {}
    unsigned feed(Event event);
    bool on() const { return m_on; }

private:
    unsigned arm(bool away, bool back);
    unsigned restored();

    TaskBarRestore m_restores;
    bool m_on = false;
    bool m_cycle = false; // due or running
    bool m_armed = false; // seen iconic or inactive since the last restore
};
