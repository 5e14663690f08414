#pragma once

#include <QObject>

class QAbstractNativeEventFilter;
class QWidget;

// What the toolkit does not report about a top-level window's state. On X11 a window that is
// maximised from the task bar while it is minimised stays minimised, and Qt reports nothing;
// elsewhere the toolkit reports a maximised window and this stays silent.
class WindowStateWatch : public QObject
{
    Q_OBJECT

public:
    explicit WindowStateWatch(QWidget &window);
    ~WindowStateWatch() override;

signals:
    // The window manager maximised the window while it was minimised.
    void maximisedWhileMinimised();

private:
    QAbstractNativeEventFilter *m_filter = nullptr;
};
