#pragma once

#include "platform/TaskBarRestore.h"

#include <QObject>

class QAbstractNativeEventFilter;
class QWidget;

// What the toolkit does not report about a top-level window's state. On X11 a window that is
// maximised from the task bar while it is minimised stays minimised, and Qt reports nothing;
// elsewhere the toolkit reports a maximised window and this stays silent. On X11 it also passes
// on the window manager's own word on minimised and restored, WM_STATE.
class WindowStateWatch : public QObject
{
    Q_OBJECT

public:
    explicit WindowStateWatch(QWidget &window);
    ~WindowStateWatch() override;
    // What tells a restore from the task bar on the window system the program runs on.
    TaskBarRestore restoreSign() const { return m_sign; }

signals:
    // The window manager maximised the window while it was minimised.
    void maximisedWhileMinimised();
    // WM_STATE became Iconic (true) or Normal (false), in the order it changed.
    void iconicChanged(bool iconic);

private:
    QAbstractNativeEventFilter *m_filter = nullptr;
    TaskBarRestore m_sign = TaskBarRestore::ByState;
};
