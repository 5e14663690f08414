#pragma once

#include <QImage>
#include <QString>

#include <functional>

struct ReplaceResult
{
    enum Outcome
    {
        Replaced,     // the new file is in place
        WriterFailed, // the writer said it failed; nothing changed
        Refused,      // the target may not be written (read-only); nothing was written
        Failed,       // the system refused a step; nothing changed
    };
    Outcome outcome = Failed;
    QString error; // the system's own words, for Refused and Failed
};

// The few file operations the commands need, so that tests can look at them.
class IFiles
{
public:
    virtual ~IFiles() = default;

    // Writes a new file in place of target without ever losing the old one: writer fills a
    // temporary file beside it (and returns false on failure). Only a complete new file takes
    // the old one's times and permissions and replaces it, in one step; on any failure the
    // temporary file is removed and the old file stays as it was.
    using Writer = std::function<bool(const QString &temporaryPath)>;
    virtual ReplaceResult replaceSafely(const QString &target, const Writer &writer) = 0;
    // Any existing file, hidden ones included: a file the user named is never replaced unasked.
    virtual bool exists(const QString &path) const = 0;
    // Why a file may not be written at that path ("it is read-only"); empty when it may.
    virtual QString refusal(const QString &path) const = 0;
};
