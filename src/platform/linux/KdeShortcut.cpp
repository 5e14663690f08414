#include "KdeShortcut.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QKeySequence>

namespace {

const QString Service = QStringLiteral("org.kde.kglobalaccel");
const QString Interface = QStringLiteral("org.kde.KGlobalAccel");
const QString Component = QStringLiteral("glimmerbox");
const QString Action = QStringLiteral("print-screen");
const int Key = QKeySequence(Qt::CTRL | Qt::Key_Print)[0].toCombined();

// The service's flags for setShortcut, as kglobalaccel defines them.
constexpr uint SetPresent = 2;
constexpr uint IsDefault = 8;

// A service that does not answer must not hold up the program's start.
constexpr int TimeLimitMs = 3000;

QDBusMessage message(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, QStringLiteral("/kglobalaccel"), Interface, method);
    call.setArguments(arguments);
    // Never started for this: at the session's end it may be gone already.
    call.setAutoStartService(false);
    return call;
}

QDBusMessage ask(const QString &method, const QVariantList &arguments)
{
    return QDBusConnection::sessionBus().call(message(method, arguments), QDBus::Block,
                                              TimeLimitMs);
}

bool failed(const QDBusMessage &reply, QString *why)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    *why = QStringLiteral("KDE's shortcut service did not answer: %1").arg(reply.errorMessage());
    return true;
}

} // namespace

bool KdeShortcut::running()
{
    const QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(Service);
}

KdeShortcut::KdeShortcut(QObject *parent)
    : QObject(parent)
    , m_actionId{Component, Action, QStringLiteral("Glimmerbox"),
                 QStringLiteral("Print the screen")}
{
    if (failed(ask(QStringLiteral("doRegister"), {m_actionId}), &m_unavailable))
        return;
    // Present: the service passes on the key only while the program runs. It answers with the
    // key the action really has: one the user chose before, or none when another holds it.
    const QDBusMessage active = ask(QStringLiteral("setShortcut"),
                                    {m_actionId, QVariant::fromValue(QList<int>{Key}), SetPresent});
    if (failed(active, &m_unavailable))
        return;
    m_bound = true;
    QDBusConnection::sessionBus().send(
        message(QStringLiteral("setShortcut"),
                {m_actionId, QVariant::fromValue(QList<int>{Key}), IsDefault}));
    const QList<int> keys = qdbus_cast<QList<int>>(active.arguments().value(0));
    if (keys.isEmpty() || keys.count(0) == keys.size()) {
        // No key: another program has it, or the user took it off in System Settings.
        const QDBusMessage free =
            ask(QStringLiteral("isGlobalShortcutAvailable"), {Key, Component});
        m_taken = free.type() == QDBusMessage::ReplyMessage && !free.arguments().value(0).toBool();
        m_unavailable = m_taken ? QStringLiteral("another program already holds Ctrl+Print")
                                : QStringLiteral("KDE's shortcut settings give it no key");
        return;
    }
    const QDBusMessage component = ask(QStringLiteral("getComponent"), {Component});
    if (failed(component, &m_unavailable))
        return;
    const QString path = qdbus_cast<QDBusObjectPath>(component.arguments().value(0)).path();
    if (!QDBusConnection::sessionBus().connect(
            Service, path, QStringLiteral("org.kde.kglobalaccel.Component"),
            QStringLiteral("globalShortcutPressed"), this,
            SLOT(onGlobalShortcutPressed(QString, QString, qlonglong))))
        m_unavailable = QStringLiteral("KDE's shortcut service cannot be listened to");
}

KdeShortcut::~KdeShortcut()
{
    if (m_bound)
        ask(QStringLiteral("setInactive"), {m_actionId});
}

void KdeShortcut::onGlobalShortcutPressed(const QString &component, const QString &action,
                                          qlonglong)
{
    if (component == Component && action == Action)
        emit pressed();
}
