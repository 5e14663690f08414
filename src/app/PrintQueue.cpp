#include "PrintQueue.h"

#include <QTimer>

#include <utility>

PrintQueue::PrintQueue(Steps steps, QObject *parent)
    : QObject(parent)
    , m_steps(std::move(steps))
{}

void PrintQueue::submit(Request request)
{
    m_waiting.push_back(std::move(request));
    // A request that comes during a step (the pause before a grab, a dialog, a job) only joins
    // the line.
    startNext();
}

void PrintQueue::startNext()
{
    if (m_running)
        return;
    while (!m_running && !m_waiting.empty()) {
        m_current = std::move(m_waiting.front());
        m_waiting.pop_front();
        if (!m_current.wanted())
            continue;
        // A dialog the user opened is not over, and a grab would copy it: said, not waited for.
        if (const Result<> may = m_steps.mayStart(); !may)
            std::exchange(m_current, {}).answer(may);
        else
            m_running = true;
    }
    if (!m_running)
        return;
    auto finished = [this](const Result<> &outcome) {
        finish(outcome);
    };
    auto print = [this, finished] {
        m_steps.print(m_current, finished);
    };
    if (m_current.kind == Kind::PrintNow)
        print();
    else
        m_steps.grab(m_current, [this, print, finished](const Result<> &grabbed) {
            if (grabbed && m_current.kind == Kind::Screen)
                print();
            else
                finished(grabbed);
        });
}

void PrintQueue::finish(const Result<> &outcome)
{
    const Done answer = std::move(m_current.answer);
    m_current = {};
    m_running = false;
    answer(outcome);
    QTimer::singleShot(0, this, &PrintQueue::startNext);
}
