#include "PipeChannel.h"

#include "platform/HandOver.h"

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

HandOverReply askRunningProgram(const QByteArray &line)
{
    const std::wstring name = channelName();
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 2 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
        pipe = openChannel(name, FILE_FLAG_OVERLAPPED);
        if (pipe == INVALID_HANDLE_VALUE &&
            (::GetLastError() != ERROR_PIPE_BUSY || !::WaitNamedPipeW(name.c_str(), 2000)))
            return {};
    }
    if (!servedByThisUser(pipe)) {
        ::CloseHandle(pipe);
        return {};
    }
    Operation pending;
    const auto transfer = [&](bool write, char *data, DWORD size, DWORD waitMs) -> DWORD {
        DWORD count = 0;
        const BOOL done = write ? ::WriteFile(pipe, data, size, nullptr, &pending.overlapped)
                                : ::ReadFile(pipe, data, size, nullptr, &pending.overlapped);
        if (!done && ::GetLastError() != ERROR_IO_PENDING)
            return 0;
        if (::WaitForSingleObject(pending.event, waitMs) != WAIT_OBJECT_0)
            ::CancelIoEx(pipe, &pending.overlapped);
        return ::GetOverlappedResult(pipe, &pending.overlapped, &count, TRUE) ? count : 0;
    };
    // Reads on until the answer holds LINES whole lines, or nothing more comes within the time.
    QByteArray answer;
    const auto readLines = [&](qsizetype lines, DWORD waitMs) {
        char buffer[256];
        while (answer.count('\n') < lines)
            if (const DWORD count = transfer(false, buffer, sizeof buffer, waitMs))
                answer.append(buffer, qsizetype(count));
            else
                return false;
        return true;
    };
    QByteArray request = line + '\n';
    HandOverReply reply{HandOverReply::Outcome::NotTaken, {}};
    if (transfer(true, request.data(), DWORD(request.size()), 2000) == DWORD(request.size()) &&
        readLines(1, TakenWithinSeconds * 1000) &&
        answer.startsWith(QByteArray(HandOverServer::Taken) + '\n')) {
        // A large screen on a slow printer takes its time; a program that ended closes the
        // pipe, and one that hangs is given up after ten minutes.
        reply.outcome = HandOverReply::Outcome::Answered;
        if (readLines(2, 600000))
            reply.answer = answer.mid(answer.indexOf('\n') + 1).chopped(1);
    }
    ::CloseHandle(pipe);
    return reply;
}
