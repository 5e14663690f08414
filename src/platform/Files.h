#pragma once

#include <QImage>
#include <QString>

// The few file operations the commands need, so that tests can look at them.
class IFiles
{
public:
    virtual ~IFiles() = default;
    // Ordinary files only: hidden files are not seen, as the save dialog does not show them.
    virtual bool exists(const QString &path) const = 0;
    // Deletes a file; an error text on failure, empty on success.
    virtual QString remove(const QString &path) = 0;
    // Writes a picture as a Windows bitmap file; an error text on failure, empty on success.
    virtual QString writeBitmap(const QImage &picture, const QString &path) = 0;
};
