#include "platform/HandOver.h"

// The Windows build's Qt has no local sockets: each --print-screen prints by itself, and a
// running program takes no requests.

struct HandOverServer::Native
{
};

HandOverServer::HandOverServer(QObject *parent)
    : QObject(parent)
    , m_error(QStringLiteral("the Windows build takes no requests from the command line"))
{}

HandOverServer::~HandOverServer() = default;

void HandOverServer::answer(quint64, const QByteArray &) {}

std::optional<QByteArray> askRunningProgram(const QByteArray &)
{
    return std::nullopt;
}
