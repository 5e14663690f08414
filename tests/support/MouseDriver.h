#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse events delivered to a widget the way the window system delivers them, with the buttons
// that are held during a move.
namespace MouseDriver {

inline void send(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                 Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(w, &event);
}

inline void press(QWidget *w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    send(w, QEvent::MouseButtonPress, at, button, button);
}

inline void move(QWidget *w, QPoint at, Qt::MouseButtons held = Qt::LeftButton)
{
    send(w, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void release(QWidget *w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    send(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

inline void drag(QWidget *w, QPoint from, QPoint to, int steps = 4)
{
    press(w, from);
    for (int i = 1; i <= steps; ++i)
        move(w, from + (to - from) * i / steps);
    release(w, to);
}

} // namespace MouseDriver
