#pragma once

class IEventPump;
class IScreenMetrics;
class QWidget;

// The self-closing pop-ups that tell the user which command has just started. Each call returns
// when its pop-up has closed.
class IConfirmations
{
public:
    virtual ~IConfirmations() = default;
    virtual void ConfirmClipboard() = 0;
    virtual void ConfirmSave() = 0;
    virtual void ConfirmPrint() = 0;
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
    void ConfirmClipboard() override;
    void ConfirmSave() override;
    void ConfirmPrint() override;

private:
    QWidget &m_owner;
    IEventPump &m_events;
    const IScreenMetrics &m_metrics;
};
