#pragma once

#include "AutoDumpStates.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class WindowStateWatch;

// Auto-Dump mode: the window waits on the task bar as "Click to Print Screen", each restore
// from there prints the screen while the window goes straight back, and Maximise brings the
// normal window back. It follows what the window system reports about the window, which the
// window passes on, and decides through AutoDumpStates.
class AutoDump : public QObject
{
    Q_OBJECT

public:
    // The title is the normal window's caption after the mode is left. A cycle asks
    // printScreen for its page, which calls back once the page has gone or could not.
    AutoDump(QWidget &window, QString title,
             std::function<void(std::function<void()> done)> printScreen);

    void enter();
    bool isOn() const { return m_states.on(); }
    // The cycle's page has gone to the printer, or could not: it is over.
    void cycleEnded();

signals:
    // The normal window is back.
    void left();

protected:
    // What happens to the window: its state and its activation.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void feed(AutoDumpStates::Event event);
    void cycle();

    QWidget &m_window;
    QString m_title;
    std::function<void(std::function<void()>)> m_printScreen;
    WindowStateWatch *m_watch;
    AutoDumpStates m_states;
    bool m_inCycle = false; // from the cycle's start until its page has gone
};
