#pragma once

#include <QString>

#include <string>

#include <windows.h>

// A named pipe, since the Windows build's Qt has no local sockets. Pipe names are shared by every
// user of the machine: the channel's name carries the user's identity and session, its access list
// lets in that user alone, and a client talks only to a server of its own user.

// The text form of the user who runs this program, empty when it cannot be read.
const QString &thisUser();
std::wstring channelName();
// The client's end of the channel, or INVALID_HANDLE_VALUE with the system's error.
HANDLE openChannel(const std::wstring &name, DWORD flags);
bool servedByThisUser(HANDLE pipe);

// One overlapped operation on a pipe.
struct Operation
{
    Operation()
        : event(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        overlapped.hEvent = event;
    }
    ~Operation() { ::CloseHandle(event); }
    // Stops the operation and waits until the system no longer uses its memory.
    void cancel(HANDLE pipe)
    {
        DWORD count = 0;
        if (::CancelIoEx(pipe, &overlapped) || ::GetLastError() != ERROR_NOT_FOUND)
            ::GetOverlappedResult(pipe, &overlapped, &count, TRUE);
    }

    HANDLE event;
    OVERLAPPED overlapped = {};
};
