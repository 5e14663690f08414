#pragma once

#include "base/Result.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>

// Every way to print, one job at a time: Print Now, an Auto-Dump click, Ctrl+Print and a
// --print-screen request each become a job, answered to its own requester once its page has gone
// to the printer or could not. A request that comes while a grab or a job is under way waits its
// turn; it is never refused for being second, and a grab never starts inside another.
class PrintQueue : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        Grab,     // the screen copied into the next slot
        PrintNow, // the current shot, through the print preview
        Screen    // the screen copied now, its page at once
    };

    struct Request
    {
        Kind kind = Kind::Screen;
        // Whether a failure is told in a message box, or only answered.
        bool tellUser = true;
        // Whether the requester still waits: one that has gone is dropped before its grab.
        std::function<bool()> wanted = [] {
            return true;
        };
        // Called once: whether the page went to the printer, or why not. Not called for a
        // request dropped because its requester had gone.
        std::function<void(const Result<> &)> answer = [](const Result<> &) {
        };
    };

    // How a job's steps are done. Each calls its continuation once its work is over, at once or
    // later from the event loop, with how it went.
    using Done = std::function<void(const Result<> &)>;
    struct Steps
    {
        // Whether a job may start now, or why not (a dialog of the program's own is open); asked
        // as each job is about to start, when the jobs before it are over.
        std::function<Result<>()> mayStart;
        std::function<void(const Request &, Done)> grab;
        std::function<void(const Request &, Done)> print;
    };

    explicit PrintQueue(Steps steps, QObject *parent = nullptr);

    // Starts the request at once when nothing runs; otherwise it waits its turn.
    void submit(Request request);
    // Nothing runs and nothing waits.
    bool idle() const { return !m_running && m_waiting.empty(); }

private:
    void startNext();
    void finish(const Result<> &outcome);

    Steps m_steps;
    std::deque<Request> m_waiting;
    bool m_running = false;
    Request m_current;
};
