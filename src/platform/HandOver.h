#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>

// The channel between glimmerbox --print-screen and a running Glimmerbox of the same user: one
// line asked, one line answered when the work is done. No other user can open it. One
// implementation per system.
class HandOverServer : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype LongestLine = 64;

    explicit HandOverServer(QObject *parent = nullptr);
    ~HandOverServer() override;
    // Why the channel could not be opened; empty when it listens.
    QString error() const { return m_error; }
    // The answer to a client's request; its connection then closes.
    void answer(quint64 client, const QByteArray &line);

signals:
    // A client's line, without its line end. A client that sends no whole line of at most
    // LongestLine bytes within five seconds is let go without a request.
    void requested(quint64 client, const QByteArray &line);

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    QString m_error;
};

// Asks the running program and waits for its answer; nothing when no program runs.
std::optional<QByteArray> askRunningProgram(const QByteArray &line);
