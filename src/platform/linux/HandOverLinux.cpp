#include "platform/HandOver.h"

#include <QFile>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace {

Q_LOGGING_CATEGORY(lcHandOver, "glimmerbox.handover", QtInfoMsg)

// How often a program that does not hold the channel looks whether anybody still answers on
// it, and the holder whether the channel is still its own.
constexpr int CheckEveryMs = 1000;

// The user's own runtime folder, which only the user may enter (Qt makes sure it is so); empty
// without one, and then there is no channel: anywhere else other users could reach or take it.
QString channelName()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/glimmerbox");
}

ino_t inodeOf(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

struct HandOverServer::Native
{
    explicit Native(HandOverServer &owner)
        : owner(owner)
    {}

    // Holds the channel when nobody answers on it. The socket is made under a name of its own
    // and then moved into place in one step, so that two programs starting together never
    // remove each other's, and its inode tells whether the channel is still this one.
    void check();
    void takeOver();
    void lose(const char *why);
    void accept();

    HandOverServer &owner;
    QString name = channelName();
    QString own = name + QStringLiteral(".%1").arg(::getpid());
    // Before the server, so that it outlives it: the server deletes the clients still waiting
    // as it goes, and each says it disconnected, which takes it out of here.
    QHash<quint64, QPointer<QLocalSocket>> clients;
    quint64 next = 0;
    QLocalServer server;
    ino_t inode = 0; // the channel's while this program holds it
    QLocalSocket probe;
    QTimer checks;
};

void HandOverServer::Native::check()
{
    if (inode != 0) {
        if (!server.isListening())
            lose("it stopped listening");
        else if (inodeOf(name) != inode)
            lose("another program replaced or removed it");
        return;
    }
    if (probe.state() == QLocalSocket::UnconnectedState)
        probe.connectToServer(name);
}

void HandOverServer::Native::takeOver()
{
    QLocalServer::removeServer(own);
    if (!server.listen(own)) {
        owner.m_error = server.errorString();
        return;
    }
    const ino_t made = inodeOf(own);
    if (made == 0 ||
        ::rename(QFile::encodeName(own).constData(), QFile::encodeName(name).constData()) != 0) {
        owner.m_error = QStringLiteral("the channel could not be put in place");
        server.close();
        return;
    }
    inode = made;
    owner.m_error.clear();
    qCInfo(lcHandOver, "takes --print-screen requests at %s", qPrintable(name));
}

void HandOverServer::Native::lose(const char *why)
{
    qCWarning(lcHandOver, "lost the --print-screen channel: %s; taken back once nobody holds it",
              why);
    owner.m_error = QString::fromUtf8(why);
    inode = 0;
    server.close(); // under its own name, which is no longer there
    check();
}

void HandOverServer::Native::accept()
{
    while (QLocalSocket *client = server.nextPendingConnection()) {
        const quint64 id = ++next;
        clients.insert(id, client);
        QObject::connect(client, &QLocalSocket::disconnected, &owner, [this, client, id] {
            clients.remove(id);
            client->deleteLater();
        });
        QObject::connect(client, &QLocalSocket::readyRead, &owner, [this, client, id] {
            if (client->property("asked").toBool())
                return;
            // A line longer than a request is let go whole, not cut into a shorter request.
            // readLine reads one byte less than it is given: room for a C string's end.
            const QByteArray line = client->canReadLine() ? client->readLine(LongestLine + 2)
                                                          : client->peek(LongestLine + 1);
            if (!line.endsWith('\n')) {
                if (line.size() > LongestLine)
                    client->disconnectFromServer();
                return;
            }
            client->setProperty("asked", true);
            client->write(QByteArray(Taken) + '\n');
            emit owner.requested(id, line.chopped(1));
        });
        QTimer::singleShot(5000, client, [client] {
            if (!client->property("asked").toBool())
                client->disconnectFromServer();
        });
    }
}

HandOverServer::HandOverServer(QObject *parent)
    : QObject(parent)
    , m_native(std::make_unique<Native>(*this))
{
    Native &native = *m_native;
    if (native.name.isEmpty()) {
        m_error = QStringLiteral("this user has no runtime folder of their own");
        qCWarning(lcHandOver, "no --print-screen channel: %s", qPrintable(m_error));
        return;
    }
    native.server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&native.server, &QLocalServer::newConnection, this, [&native] { native.accept(); });
    connect(&native.probe, &QLocalSocket::connected, this, [this, &native] {
        m_error = QStringLiteral("another Glimmerbox of this user takes the requests");
        native.probe.abort();
    });
    connect(&native.probe, &QLocalSocket::errorOccurred, this,
            [&native](QLocalSocket::LocalSocketError error) {
                native.probe.abort();
                if (error == QLocalSocket::ServerNotFoundError ||
                    error == QLocalSocket::ConnectionRefusedError)
                    native.takeOver();
            });
    connect(&native.checks, &QTimer::timeout, this, [&native] { native.check(); });
    native.checks.start(CheckEveryMs);
    // Whether another program answers is known at once for a local socket.
    native.probe.connectToServer(native.name);
}

HandOverServer::~HandOverServer()
{
    // Only while the path still names this program's socket: otherwise it is another's.
    if (m_native->inode != 0 && inodeOf(m_native->name) == m_native->inode)
        ::unlink(QFile::encodeName(m_native->name).constData());
}

void HandOverServer::answer(quint64 client, const QByteArray &line)
{
    const QPointer<QLocalSocket> socket = m_native->clients.take(client);
    if (!socket)
        return;
    socket->write(line + '\n');
    socket->disconnectFromServer();
}

bool HandOverServer::waiting(quint64 client) const
{
    const QPointer<QLocalSocket> socket = m_native->clients.value(client);
    if (!socket || socket->state() != QLocalSocket::ConnectedState)
        return false;
    // A client that hung up is only seen by the event loop later: the socket says it now.
    char byte = 0;
    return ::recv(int(socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0;
}

HandOverReply askRunningProgram(const QByteArray &line)
{
    QLocalSocket socket;
    const QString name = channelName();
    if (name.isEmpty())
        return {};
    socket.connectToServer(name);
    if (!socket.waitForConnected(2000))
        return {};
    socket.write(line + '\n');
    const auto readLine = [&socket](int waitMs) -> std::optional<QByteArray> {
        while (!socket.canReadLine())
            if (!socket.waitForReadyRead(waitMs))
                return std::nullopt;
        return socket.readLine().chopped(1);
    };
    if (readLine(TakenWithinSeconds * 1000) != HandOverServer::Taken)
        return {HandOverReply::Outcome::NotTaken, {}};
    // A large screen on a slow printer takes its time; a program that ended says nothing.
    return {HandOverReply::Outcome::Answered, readLine(600000).value_or(QByteArray())};
}
