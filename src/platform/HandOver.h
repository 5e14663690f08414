#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

// The channel between glimmerbox --print-screen and a running Glimmerbox of the same user: one
// line asked; "taken" answered as soon as the program has it, then one line when the work is
// done. No other user can open it. One implementation per system.
class HandOverServer : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype LongestLine = 64;
    static constexpr const char *Taken = "taken";

    explicit HandOverServer(QObject *parent = nullptr);
    ~HandOverServer() override;
    // Why the channel is not this program's now; empty while it takes the requests. Another
    // program of the user holding it is no fault: it is taken over once nobody answers on it.
    QString error() const { return m_error; }
    // The answer to a client's request; its connection then closes.
    void answer(quint64 client, const QByteArray &line);
    // Whether the client still waits for its answer.
    bool waiting(quint64 client) const;

signals:
    // A client's line, without its line end. A client that sends no whole line of at most
    // LongestLine bytes within five seconds is let go without a request.
    void requested(quint64 client, const QByteArray &line);

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    QString m_error;
};

// A program that holds the channel says "taken" at once; one that does not within this time
// hangs or is stopped.
constexpr int TakenWithinSeconds = 3;

// What came of asking the running program.
struct HandOverReply
{
    enum class Outcome
    {
        NoProgram, // nobody holds the channel
        NotTaken,  // it holds it, and did not take the request within a few seconds
        Answered
    };
    Outcome outcome = Outcome::NoProgram;
    QByteArray answer; // with Answered: the last line; empty when the program ended meanwhile
};

// Asks the running program and waits for its answer.
HandOverReply askRunningProgram(const QByteArray &line);
