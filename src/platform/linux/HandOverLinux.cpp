#include "platform/HandOver.h"

#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>

namespace {

// The user's own runtime folder, which only the user may enter (Qt makes sure it is so).
QString channelName()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/glimmerbox");
}

} // namespace

struct HandOverServer::Native
{
    QLocalServer server;
    QHash<quint64, QPointer<QLocalSocket>> clients;
    quint64 next = 0;
};

HandOverServer::HandOverServer(QObject *parent)
    : QObject(parent)
    , m_native(std::make_unique<Native>())
{
    QLocalServer &server = m_native->server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    // A channel left behind by a program that ended goes; a running one answers first.
    QLocalSocket probe;
    probe.connectToServer(channelName());
    if (probe.waitForConnected(500)) {
        m_error = QStringLiteral("another Glimmerbox of this user already takes the requests");
        return;
    }
    QLocalServer::removeServer(channelName());
    if (!server.listen(channelName())) {
        m_error = server.errorString();
        return;
    }
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_native->server.nextPendingConnection()) {
            const quint64 id = ++m_native->next;
            m_native->clients.insert(id, client);
            connect(client, &QLocalSocket::disconnected, this, [this, client, id] {
                m_native->clients.remove(id);
                client->deleteLater();
            });
            connect(client, &QLocalSocket::readyRead, this, [this, client, id] {
                if (client->bytesAvailable() > LongestLine + 1 && !client->canReadLine())
                    client->disconnectFromServer();
                else if (client->canReadLine() && !client->property("asked").toBool()) {
                    client->setProperty("asked", true);
                    emit requested(id, client->readLine(LongestLine + 1).chopped(1));
                }
            });
            QTimer::singleShot(5000, client, [client] {
                if (!client->property("asked").toBool())
                    client->disconnectFromServer();
            });
        }
    });
}

HandOverServer::~HandOverServer() = default;

void HandOverServer::answer(quint64 client, const QByteArray &line)
{
    const QPointer<QLocalSocket> socket = m_native->clients.take(client);
    if (!socket)
        return;
    socket->write(line + '\n');
    socket->disconnectFromServer();
}

std::optional<QByteArray> askRunningProgram(const QByteArray &line)
{
    QLocalSocket socket;
    socket.connectToServer(channelName());
    if (!socket.waitForConnected(2000))
        return std::nullopt;
    socket.write(line + '\n');
    QByteArray answer;
    // A large screen on a slow printer takes its time; a program that ended says nothing.
    while (!answer.endsWith('\n') && socket.waitForReadyRead(600000))
        answer += socket.readAll();
    return answer.endsWith('\n') ? answer.chopped(1) : answer;
}
