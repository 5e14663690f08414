#pragma once

#include <QImage>
#include <QString>

// Direct access to the X server's root window, independent of Qt's own screen grab.
namespace X11Screen {

// Shows a picture as the root window's background; false when there is no X server.
bool setRootPicture(const QImage &picture, QString *error = nullptr);

// The root window's pixels as the X server holds them.
QImage dump(QString *error = nullptr);

QSize size();

} // namespace X11Screen
