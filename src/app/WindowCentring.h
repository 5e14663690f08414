#pragma once

#include <QObject>
#include <QSize>

#include <functional>

class QRect;
class QScreen;
class QWidget;

// Whether less than half of a window's frame lies in the area: a change of screens has left it
// more off the screen than on.
bool mostlyOutside(const QRect &frame, const QRect &area);

// Keeps a top-level window in the middle of the primary screen's work area while the window
// manager frames and places it, and at its designed size while it is a normal window.
class WindowCentring : public QObject
{
public:
    // Watches the window's own showing and resizing, and the primary screen changing.
    WindowCentring(QWidget &window, std::function<QSize()> designSize);

    void centreOnScreen();
    // The window is on the screen: the first time it is there as a normal window, it is centred
    // once its frame is up.
    void shown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The border is fixed: the window can be maximised (which Auto-Dump reads as a command), but
    // a normal window keeps its designed size.
    void resized();
    // Looks again until the framed window sits in the middle.
    void start();
    bool isCentred(const QRect &frame) const;
    // Brings the window back into the middle when a change of screens left it mostly off them.
    void screensChanged();
    void follow(QScreen *primary);

    QWidget &m_window;
    std::function<QSize()> m_designSize;
    bool m_started = false;
};
