#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// What the file system keeps about a file beside its contents, read with the system's own calls
// and without opening the file for reading (which would change its last-access time): enough to
// tell whether a file that took another's place kept its times and permissions.
struct FileFacts
{
    bool exists = false;
    std::uint64_t permissions = 0; // the POSIX mode, or the Windows file attributes
    // Nanoseconds since 1970, as exactly as the file system keeps them (100 ns on Windows).
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    QByteArray identity; // device and inode, or volume and file index: a new file differs

    static FileFacts of(const QString &path);
};

// The system's own words when it refuses to replace a read-only file.
QString readOnlyRefusal();
