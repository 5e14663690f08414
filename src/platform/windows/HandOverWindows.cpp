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

namespace {

// One that the event loop reports when it completes.
struct Pending : Operation
{
    Pending() { notifier.setEnabled(false); }
    ~Pending() { notifier.setEnabled(false); }
    void cancel(HANDLE pipe)
    {
        notifier.setEnabled(false);
        Operation::cancel(pipe);
    }

    QWinEventNotifier notifier{event};
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
            // A client came, or came and went, before the pipe was ready for it.
            if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA)
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
        relisten(owner);
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

    // The next client's instance of the pipe; tried again later while the system refuses it.
    void relisten(HandOverServer *owner)
    {
        if (const DWORD error = listen(false)) {
            qWarning("--print-screen requests wait: %s",
                     std::system_category().message(int(error)).c_str());
            QTimer::singleShot(1000, owner, [this, owner] { relisten(owner); });
        }
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

    // Written while the client waits to read it; closing the pipe afterwards keeps what the
    // client has not read yet. A client that does not read is let go, so that the window never
    // waits on it.
    static void send(Client &c, const QByteArray &text)
    {
        Operation write;
        if ((::WriteFile(c.pipe, text.constData(), DWORD(text.size()), nullptr,
                         &write.overlapped) ||
             ::GetLastError() == ERROR_IO_PENDING) &&
            ::WaitForSingleObject(write.event, 2000) != WAIT_OBJECT_0)
            write.cancel(c.pipe);
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
            if (end > LongestLine || (end < 0 && c.line.size() > LongestLine)) {
                drop(owner, id);
                return;
            }
            if (end >= 0) {
                c.asked = true;
                send(c, QByteArray(Taken) + '\n');
                emit owner->requested(id, c.line.left(end));
                if (!clients.count(id))
                    return;
            }
        }
        read(owner, id);
    }

    // Holds the channel when nobody answers on it; looked at again every second while another
    // program of the user holds it, so that the channel outlives any one program.
    void takeOver(HandOverServer *owner)
    {
        // A running one answers first (the system's first-instance flag is not kept everywhere).
        HANDLE probe = openChannel(name, 0);
        const bool busy = probe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_PIPE_BUSY;
        const bool ours = probe != INVALID_HANDLE_VALUE && servedByThisUser(probe);
        if (probe != INVALID_HANDLE_VALUE)
            ::CloseHandle(probe);
        const DWORD error =
            probe != INVALID_HANDLE_VALUE || busy ? DWORD(ERROR_ACCESS_DENIED) : listen(true);
        if (error == 0) {
            checks.stop();
            owner->m_error.clear();
            return;
        }
        checks.start(1000);
        if (probe != INVALID_HANDLE_VALUE && !ours)
            owner->m_error = QStringLiteral("another user's program holds the channel's name");
        else if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY)
            owner->m_error = QStringLiteral("another Glimmerbox of this user takes the requests");
        else
            owner->m_error = QString::fromStdString(std::system_category().message(int(error)));
    }

    std::wstring name = channelName();
    QTimer checks;
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
    connect(&native.connecting.notifier, &QWinEventNotifier::activated, this,
            [this] { m_native->accept(this); });
    connect(&native.checks, &QTimer::timeout, this, [this] { m_native->takeOver(this); });
    native.takeOver(this);
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
    Native::send(c, line + '\n');
    m_native->drop(this, client);
}

bool HandOverServer::waiting(quint64 client) const
{
    const auto found = m_native->clients.find(client);
    // A client that hung up breaks the pipe before the event loop hears of it.
    return found != m_native->clients.end() &&
           ::PeekNamedPipe(found->second->pipe, nullptr, 0, nullptr, nullptr, nullptr);
}
