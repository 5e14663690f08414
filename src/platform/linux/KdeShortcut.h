#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

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

    explicit KdeShortcut(QObject *parent);
    ~KdeShortcut() override;
    // Why the key is not the program's; empty when it is.
    QString unavailable() const { return m_unavailable; }
    bool takenByAnother() const { return m_taken; }

signals:
    void pressed();

private slots:
    void onGlobalShortcutPressed(const QString &component, const QString &action, qlonglong);

private:
    QStringList m_actionId;
    QString m_unavailable;
    bool m_taken = false;
    bool m_bound = false;
};
