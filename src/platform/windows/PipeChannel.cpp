#include "PipeChannel.h"

#include <QByteArray>

#include <sddl.h>

namespace {

// The text form of a process's user, empty when it cannot be read.
QString userOf(HANDLE process)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    QByteArray buffer(qsizetype(size), Qt::Uninitialized);
    QString sid;
    wchar_t *text = nullptr;
    if (size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text)) {
        sid = QString::fromWCharArray(text);
        ::LocalFree(text);
    }
    ::CloseHandle(token);
    return sid;
}

} // namespace

const QString &thisUser()
{
    static const QString user = userOf(::GetCurrentProcess());
    return user;
}

std::wstring channelName()
{
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    return QStringLiteral("\\\\.\\pipe\\glimmerbox-%1-%2")
        .arg(thisUser())
        .arg(session)
        .toStdWString();
}

// Whoever made the pipe first owns its name: a server of another user must not be believed.
bool servedByThisUser(HANDLE pipe)
{
    ULONG pid = 0;
    if (!::GetNamedPipeServerProcessId(pipe, &pid))
        return false;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    const bool same = !thisUser().isEmpty() && userOf(process) == thisUser();
    ::CloseHandle(process);
    return same;
}

HANDLE openChannel(const std::wstring &name, DWORD flags)
{
    // The server learns who asks, and may not act as them.
    return ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         flags | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
}
