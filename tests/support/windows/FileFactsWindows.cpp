#include "FileFacts.h"

#include <QDir>

#include <windows.h>

#include <string>

namespace {

// FILETIME counts 100-ns steps from 1601.
std::int64_t nanoseconds(const FILETIME &time)
{
    const std::int64_t steps = (std::int64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (steps - 116444736000000000) * 100;
}

} // namespace

FileFacts FileFacts::of(const QString &path)
{
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    FileFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data))
        return facts;
    facts.exists = true;
    facts.permissions = data.dwFileAttributes;
    facts.modified = nanoseconds(data.ftLastWriteTime);
    facts.accessed = nanoseconds(data.ftLastAccessTime);
    // Opened for no access at all, which leaves the file's times alone.
    const HANDLE file =
        ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info = {};
        if (::GetFileInformationByHandle(file, &info))
            facts.identity =
                QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ':' +
                QByteArray::number((quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
        ::CloseHandle(file);
    }
    return facts;
}

QString readOnlyRefusal()
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ERROR_ACCESS_DENIED, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString message = QString::fromWCharArray(text, int(length)).trimmed();
    ::LocalFree(text);
    return message;
}
