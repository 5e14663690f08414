#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

class QDBusMessage;

// Ctrl+Print in KDE Plasma's own global shortcuts, the one way a program of a Plasma 5 Wayland
// session has a key of its own: KWin keeps the keyboard from every other program, and the
// desktop portal's shortcut service there registers no key it is asked for. The binding shows
// in System Settings > Shortcuts, where the user may move it to another key; a key moved there
// is kept. Dropped (no longer active) when the program ends.
class KdeShortcut : public QObject
{
    Q_OBJECT

public:
    // KDE's shortcut service runs in this session (asked of the bus, which would otherwise
    // start the service on a desktop that has it installed but does not use it).
    static bool running();

    // Asks for the key and returns at once: a busy or hung service must not keep the window
    // from showing. The key is bound when the service answers.
    explicit KdeShortcut(QObject *parent);
    ~KdeShortcut() override;

signals:
    void pressed();
    // The service's answer: the key is not the program's, and why.
    void refused(const QString &why, bool takenByAnother);

private slots:
    void onGlobalShortcutPressed(const QString &component, const QString &action, qlonglong);

private:
    void request(const QString &method, const QVariantList &arguments,
                 std::function<void(const QDBusMessage &)> answered);
    bool failed(const QDBusMessage &reply);
    void activate();
    void activated(const QDBusMessage &active);
    void listen(const QDBusMessage &component);

    QStringList m_actionId;
    bool m_bound = false;
};
