#include "KdeShortcut.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
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

// A service that does not answer within this is taken to have refused the key.
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
    request(QStringLiteral("doRegister"), {m_actionId}, [this](const QDBusMessage &reply) {
        if (!failed(reply))
            activate();
    });
}

KdeShortcut::~KdeShortcut()
{
    // Waited for: a message merely queued may never leave a program that is ending.
    if (m_bound)
        QDBusConnection::sessionBus().call(message(QStringLiteral("setInactive"), {m_actionId}),
                                           QDBus::Block, TimeLimitMs);
}

void KdeShortcut::request(const QString &method, const QVariantList &arguments,
                          std::function<void(const QDBusMessage &)> answered)
{
    auto *watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(message(method, arguments), TimeLimitMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [watcher, answered = std::move(answered)] {
                watcher->deleteLater();
                answered(watcher->reply());
            });
}

bool KdeShortcut::failed(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    emit refused(
        QStringLiteral("KDE's shortcut service did not answer: %1").arg(reply.errorMessage()),
        false);
    return true;
}

void KdeShortcut::activate()
{
    // Before the answer: the service takes the calls in the order sent, so the one that drops
    // the key comes after this one however soon the program ends.
    m_bound = true;
    // Present: the service passes on the key only while the program runs. It answers with the
    // key the action really has: one the user chose before, or none when another holds it.
    request(QStringLiteral("setShortcut"),
            {m_actionId, QVariant::fromValue(QList<int>{Key}), SetPresent},
            [this](const QDBusMessage &active) { activated(active); });
}

void KdeShortcut::activated(const QDBusMessage &active)
{
    if (failed(active))
        return;
    QDBusConnection::sessionBus().send(
        message(QStringLiteral("setShortcut"),
                {m_actionId, QVariant::fromValue(QList<int>{Key}), IsDefault}));
    const QList<int> keys = qdbus_cast<QList<int>>(active.arguments().value(0));
    if (keys.isEmpty() || keys.count(0) == keys.size()) {
        // No key: another program has it, or the user took it off in System Settings.
        request(QStringLiteral("isGlobalShortcutAvailable"), {Key, Component},
                [this](const QDBusMessage &free) {
                    const bool taken = free.type() == QDBusMessage::ReplyMessage &&
                                       !free.arguments().value(0).toBool();
                    emit refused(taken ? QStringLiteral("another program already holds Ctrl+Print")
                                       : QStringLiteral("KDE's shortcut settings give it no key"),
                                 taken);
                });
        return;
    }
    request(QStringLiteral("getComponent"), {Component},
            [this](const QDBusMessage &component) { listen(component); });
}

void KdeShortcut::listen(const QDBusMessage &component)
{
    if (failed(component))
        return;
    const QString path = qdbus_cast<QDBusObjectPath>(component.arguments().value(0)).path();
    if (!QDBusConnection::sessionBus().connect(
            Service, path, QStringLiteral("org.kde.kglobalaccel.Component"),
            QStringLiteral("globalShortcutPressed"), this,
            SLOT(onGlobalShortcutPressed(QString, QString, qlonglong))))
        emit refused(QStringLiteral("KDE's shortcut service cannot be listened to"), false);
}

void KdeShortcut::onGlobalShortcutPressed(const QString &component, const QString &action,
                                          qlonglong)
{
    if (component == Component && action == Action)
        emit pressed();
}
