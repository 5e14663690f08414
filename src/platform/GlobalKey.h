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

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    QString m_unavailable;
    bool m_taken = false;
};
