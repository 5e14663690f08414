#include "platform/WindowStateWatch.h"

#include <QWidget>

// Windows restores a window maximised when Maximize is chosen on its task-bar button, and Qt
// reports that as a maximised window, and every restore as the state it ends in: nothing to add.

WindowStateWatch::WindowStateWatch(QWidget &window)
    : QObject(&window)
{}

WindowStateWatch::~WindowStateWatch() = default;
