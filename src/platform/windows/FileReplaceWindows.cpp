#include "platform/FileReplace.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <windows.h>

#include <string>

namespace {

// The system's own words for an error code, without the line break it ends them with.
QString systemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, int(length)).trimmed()
                             : QStringLiteral("Error %1").arg(error);
    ::LocalFree(text);
    return message;
}

Failure failed(DWORD error)
{
    return {systemMessage(error)};
}

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Gives the new file the old one's times, and makes sure its contents are on the disk before it
// takes the old one's name.
bool settle(const std::wstring &path, const WIN32_FILE_ATTRIBUTE_DATA *old)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool settled = ::FlushFileBuffers(file) != 0;
    if (settled && old)
        settled = ::SetFileTime(file, &old->ftCreationTime, &old->ftLastAccessTime,
                                &old->ftLastWriteTime) != 0;
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    ::SetLastError(error);
    return settled;
}

} // namespace

Result<> replaceFileSafely(const QString &target, const IFiles::Writer &writer)
{
    const std::wstring targetPath = nativePath(target);
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    // Looked up without opening it: opening would change its last-access time.
    const bool existed = ::GetFileAttributesExW(targetPath.c_str(), GetFileExInfoStandard, &old);
    if (existed && (old.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return failed(ERROR_ACCESS_DENIED);

    // Beside the target, so that taking its place is a rename on the same volume.
    const std::wstring folder = nativePath(QFileInfo(target).absolutePath());
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameW(folder.c_str(), L"gbx", 0, temporary))
        return failed(::GetLastError());
    bool replaced = false;
    const auto removeTemporary = qScopeGuard([&] {
        if (!replaced)
            ::DeleteFileW(temporary);
    });

    if (Result<> written = writer(QDir::fromNativeSeparators(QString::fromWCharArray(temporary)));
        !written)
        return written;
    if (!settle(temporary, existed ? &old : nullptr))
        return failed(::GetLastError());
    // A file made under a temporary name has the attributes of a new file; the old one's may
    // differ (hidden, no archive flag). FILE_ATTRIBUTE_NORMAL stands for "none".
    if (existed) {
        const DWORD attributes =
            old.dwFileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (!::SetFileAttributesW(temporary, attributes ? attributes : FILE_ATTRIBUTE_NORMAL))
            return failed(::GetLastError());
    }

    // One rename puts the complete new file in place of the old one. ReplaceFileW would carry
    // some of the old file's properties over by itself, but not the same ones on every system
    // (Wine keeps neither attributes nor times): the new file has them all already.
    if (!::MoveFileExW(temporary, targetPath.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failed(::GetLastError());
    replaced = true;
    return {};
}
