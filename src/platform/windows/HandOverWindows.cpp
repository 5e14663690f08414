#include "platform/HandOver.h"

#include "PipeChannel.h"

#include <QString>
#include <QTimer>
#include <QWinEventNotifier>

#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <windows.h>

#include <sddl.h>

// A named pipe, since the Windows build's Qt has no local sockets.

namespace {

// One overlapped operation on a pipe, reported in the event loop when it completes.
struct Pending
{
    Pending()
        : event(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
        , notifier(event)
    {
        notifier.setEnabled(false);
        overlapped.hEvent = event;
    }
    ~Pending()
    {
        notifier.setEnabled(false);
        ::CloseHandle(event);
    }
    // Stops the operation and waits until the system no longer uses its memory.
    void cancel(HANDLE pipe)
    {
        notifier.setEnabled(false);
        DWORD count = 0;
        if (::CancelIoEx(pipe, &overlapped) || ::GetLastError() != ERROR_NOT_FOUND)
            ::GetOverlappedResult(pipe, &overlapped, &count, TRUE);
    }

    HANDLE event;
    OVERLAPPED overlapped = {};
    QWinEventNotifier notifier;
};

struct Client
{
    ~Client()
    {
        read.cancel(pipe);
        ::CloseHandle(pipe);
    }

    HANDLE pipe = INVALID_HANDLE_VALUE;
    Pending read;
    char buffer[HandOverServer::LongestLine + 2] = {};
    QByteArray line;
    bool asked = false;
    QTimer deadline;
};

} // namespace

struct HandOverServer::Native
{
    ~Native()
    {
        if (listening == INVALID_HANDLE_VALUE)
            return;
        connecting.cancel(listening);
        ::CloseHandle(listening);
    }

    // A new instance of the pipe that waits for the next client; its error, 0 when it waits.
    DWORD listen(bool first)
    {
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, security, FALSE};
        listening = ::CreateNamedPipeW(
            name.c_str(),
            PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
            PIPE_UNLIMITED_INSTANCES, 512, 512, 0, &attributes);
        if (listening == INVALID_HANDLE_VALUE)
            return ::GetLastError();
        if (!::ConnectNamedPipe(listening, &connecting.overlapped)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_PIPE_CONNECTED)
                ::SetEvent(connecting.event);
            else if (error != ERROR_IO_PENDING) {
                ::CloseHandle(std::exchange(listening, INVALID_HANDLE_VALUE));
                return error;
            }
        }
        connecting.notifier.setEnabled(true);
        return 0;
    }

    void accept(HandOverServer *owner)
    {
        auto client = std::make_unique<Client>();
        client->pipe = std::exchange(listening, INVALID_HANDLE_VALUE);
        ::ResetEvent(connecting.event);
        if (const DWORD error = listen(false))
            qWarning("--print-screen requests are no longer taken: %s",
                     std::system_category().message(int(error)).c_str());
        const quint64 id = ++next;
        Client *c = clients.emplace(id, std::move(client)).first->second.get();
        QObject::connect(&c->read.notifier, &QWinEventNotifier::activated, owner,
                         [this, owner, id] { received(owner, id); });
        c->deadline.setSingleShot(true);
        QObject::connect(&c->deadline, &QTimer::timeout, owner, [this, owner, id] {
            if (clients.count(id) && !clients[id]->asked)
                drop(owner, id);
        });
        c->deadline.start(5000);
        read(owner, id);
    }

    // Let go of a client. It goes once the signal that told of it is over.
    void drop(HandOverServer *owner, quint64 id)
    {
        const auto found = clients.find(id);
        if (found == clients.end())
            return;
        found->second->read.cancel(found->second->pipe);
        dropped.push_back(std::move(found->second));
        clients.erase(found);
        QTimer::singleShot(0, owner, [this] { dropped.clear(); });
    }

    // Reads on; after the request, only to learn when the client hangs up.
    void read(HandOverServer *owner, quint64 id)
    {
        Client &c = *clients.at(id);
        if (!::ReadFile(c.pipe, c.buffer, sizeof c.buffer, nullptr, &c.read.overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            drop(owner, id);
            return;
        }
        c.read.notifier.setEnabled(true);
    }

    void received(HandOverServer *owner, quint64 id)
    {
        if (!clients.count(id))
            return;
        Client &c = *clients.at(id);
        DWORD count = 0;
        if (!::GetOverlappedResult(c.pipe, &c.read.overlapped, &count, FALSE)) {
            drop(owner, id);
            return;
        }
        if (!c.asked) {
            c.line.append(c.buffer, qsizetype(count));
            const qsizetype end = c.line.indexOf('\n');
            if (end < 0 && c.line.size() > LongestLine) {
                drop(owner, id);
                return;
            }
            if (end >= 0) {
                c.asked = true;
                emit owner->requested(id, c.line.left(end));
                if (!clients.count(id))
                    return;
            }
        }
        read(owner, id);
    }

    std::wstring name = channelName();
    PSECURITY_DESCRIPTOR security = nullptr;
    HANDLE listening = INVALID_HANDLE_VALUE;
    Pending connecting;
    std::map<quint64, std::unique_ptr<Client>> clients;
    std::vector<std::unique_ptr<Client>> dropped;
    quint64 next = 0;
};

HandOverServer::HandOverServer(QObject *parent)
    : QObject(parent)
    , m_native(std::make_unique<Native>())
{
    Native &native = *m_native;
    const std::wstring access = QStringLiteral("D:P(A;;GA;;;%1)").arg(thisUser()).toStdWString();
    if (thisUser().isEmpty() || !::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                    access.c_str(), SDDL_REVISION_1, &native.security, nullptr)) {
        m_error = QStringLiteral("the user of this program cannot be told");
        return;
    }
    // A running one answers first (the system's first-instance flag is not kept everywhere).
    HANDLE probe =
        ::CreateFileW(native.name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    const bool running = probe != INVALID_HANDLE_VALUE || ::GetLastError() == ERROR_PIPE_BUSY;
    if (probe != INVALID_HANDLE_VALUE)
        ::CloseHandle(probe);
    connect(&native.connecting.notifier, &QWinEventNotifier::activated, this,
            [this] { m_native->accept(this); });
    const DWORD error = running ? DWORD(ERROR_ACCESS_DENIED) : native.listen(true);
    if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY)
        m_error = QStringLiteral("another Glimmerbox of this user already takes the requests");
    else if (error)
        m_error = QString::fromStdString(std::system_category().message(int(error)));
}

HandOverServer::~HandOverServer()
{
    m_native->clients.clear();
    m_native->dropped.clear();
    ::LocalFree(m_native->security);
}

void HandOverServer::answer(quint64 client, const QByteArray &line)
{
    const auto found = m_native->clients.find(client);
    if (found == m_native->clients.end())
        return;
    Client &c = *found->second;
    c.read.cancel(c.pipe);
    c.deadline.stop();
    // Written while the client waits to read it; closing the pipe afterwards keeps what the
    // client has not read yet.
    const QByteArray text = line + '\n';
    Pending write;
    DWORD count = 0;
    if (::WriteFile(c.pipe, text.constData(), DWORD(text.size()), nullptr, &write.overlapped) ||
        ::GetLastError() == ERROR_IO_PENDING)
        ::GetOverlappedResult(c.pipe, &write.overlapped, &count, TRUE);
    m_native->drop(this, client);
}

std::optional<QByteArray> askRunningProgram(const QByteArray &line)
{
    const std::wstring name = channelName();
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 2 && pipe == INVALID_HANDLE_VALUE; ++attempt) {
        pipe = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe == INVALID_HANDLE_VALUE &&
            (::GetLastError() != ERROR_PIPE_BUSY || !::WaitNamedPipeW(name.c_str(), 2000)))
            return std::nullopt;
    }
    if (pipe == INVALID_HANDLE_VALUE || !servedByThisUser(pipe)) {
        if (pipe != INVALID_HANDLE_VALUE)
            ::CloseHandle(pipe);
        return std::nullopt;
    }
    const QByteArray request = line + '\n';
    DWORD count = 0;
    QByteArray answer;
    if (::WriteFile(pipe, request.constData(), DWORD(request.size()), &count, nullptr)) {
        // A large screen on a slow printer takes its time; a program that ended closes the pipe.
        char buffer[256];
        while (!answer.endsWith('\n') && ::ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) &&
               count)
            answer.append(buffer, qsizetype(count));
    }
    ::CloseHandle(pipe);
    return answer.endsWith('\n') ? answer.chopped(1) : answer;
}
