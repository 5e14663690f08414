#include "platform/WindowStateWatch.h"

#include <QWidget>

// Windows restores a window maximised when Maximize is chosen on its task-bar button, and Qt
// reports that as a maximised window: nothing to add.

WindowStateWatch::WindowStateWatch(QWidget &window)
    : QObject(&window)
{}

WindowStateWatch::~WindowStateWatch() = default;
