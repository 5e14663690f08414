#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window of a kind, the way a user would, once it is showing: a modal
// window's own message loop runs inside the call that opened it, so the answer comes from a
// timer.
template<typename Window> void whenShown(std::function<void(Window *)> act, int timeoutMs = 10000)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, waited, timeoutMs] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<Window *>(w); window && window->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(window);
                return;
            }
        }
        *waited += 10;
        if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
