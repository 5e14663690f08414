#pragma once

#include <QColor>
#include <QDialog>
#include <QTimer>

class IEventPump;
class IScreenMetrics;
class QLabel;

// A small modal window with a message in raised lettering that closes itself after two
// seconds, or at once when it is clicked.
class ConfirmForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Lifetime = 2000; // milliseconds

    ConfirmForm(QWidget *owner, float twipsPerPixelX, float twipsPerPixelY);

    // Sets the text of both labels and the colours of the front and rear lettering.
    void setMessage(const QString &text, const QColor &front, const QColor &rear);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Timer1_Timer();

    QLabel *m_label1;
    QLabel *m_label2;
    QTimer m_timer1;
};

// The self-closing pop-ups that tell the user which command has just started, as the window
// shows them (and tests replace them). Each call returns when its pop-up has closed.
class IConfirmations
{
public:
    virtual ~IConfirmations() = default;
    virtual void confirmCopy() = 0;
    virtual void confirmSave() = 0;
    virtual void confirmPrint() = 0;
};

// The real pop-ups: a fresh ConfirmForm for every call, owned by the main window.
class ConfirmPopups final : public IConfirmations
{
public:
    ConfirmPopups(QWidget &owner, IEventPump &events, const IScreenMetrics &metrics)
        : m_owner(owner)
        , m_events(events)
        , m_metrics(metrics)
    {}
    void confirmCopy() override;
    void confirmSave() override;
    void confirmPrint() override;

private:
    QWidget &m_owner;
    IEventPump &m_events;
    const IScreenMetrics &m_metrics;
};
