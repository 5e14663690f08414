#pragma once

#include "base/Result.h"

#include <QImage>
#include <QString>

#include <functional>

// The few file operations the commands need, so that tests can look at them.
class IFiles
{
public:
    virtual ~IFiles() = default;

    // Writes a new file in place of target without ever losing the old one: writer fills a
    // temporary file beside it. Only a complete new file takes the old one's times and
    // permissions and replaces it, in one step; on any failure (the writer's own, with its
    // reason, or the system's, in its own words, a read-only target before anything is written)
    // the temporary file is removed and the old file stays as it was.
    using Writer = std::function<Result<>(const QString &temporaryPath)>;
    virtual Result<> replaceSafely(const QString &target, const Writer &writer) = 0;
    // Any existing file, hidden ones included: a file the user named is never replaced unasked.
    virtual bool exists(const QString &path) const = 0;
    // Whether a file may be written at that path, or why not ("it is read-only").
    virtual Result<> mayWrite(const QString &path) const = 0;
};
