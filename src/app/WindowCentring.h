#pragma once

#include <QSize>

#include <functional>

class QRect;
class QWidget;

// Keeps a top-level window in the middle of the primary screen's work area while the window
// manager frames and places it.
class WindowCentring
{
public:
    WindowCentring(QWidget &window, std::function<QSize()> designSize)
        : m_window(window)
        , m_designSize(std::move(designSize))
    {}

    void centreOnScreen();
    // Once per window: looks again until the framed window sits in the middle.
    void start();
    bool started() const { return m_started; }

private:
    bool isCentred(const QRect &frame) const;

    QWidget &m_window;
    std::function<QSize()> m_designSize;
    bool m_started = false;
};
