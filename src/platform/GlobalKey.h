#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

// Ctrl+Print for the whole desktop while the program runs, whatever window has the keyboard:
// a passive grab on X11, KDE's own shortcuts on Plasma's Wayland session, a hot key on
// Windows. One implementation per system.
class GlobalKey : public QObject
{
    Q_OBJECT

public:
    explicit GlobalKey(QWidget &window);
    ~GlobalKey() override;
    // Why the key is not the program's: another program holds it, or the desktop offers no way
    // to have it. Empty when it is.
    QString unavailable() const { return m_unavailable; }
    bool takenByAnother() const { return m_taken; }

signals:
    void pressed();
    // The key is not the program's, as unavailable() says. Once at most, never before the
    // constructor has returned: a desktop's shortcut service may answer only after the window
    // shows.
    void refused();

private:
    void refuse(const QString &why, bool taken = false)
    {
        m_unavailable = why;
        m_taken = taken;
        QMetaObject::invokeMethod(this, &GlobalKey::refused, Qt::QueuedConnection);
    }

    struct Native;
    std::unique_ptr<Native> m_native;
    QString m_unavailable;
    bool m_taken = false;
};
