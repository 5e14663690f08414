#pragma once

#include <QObject>

#include <functional>
#include <memory>

class IPrinter;
class QThread;

// Runs one print job at a time on a thread of its own, so the window keeps painting while a
// large page is drawn and handed to the spooler. The job gets a printer object of its own; the
// outcome comes back to the owner's thread as finished().
class BackgroundPrint : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundPrint(QObject *parent = nullptr);
    // Waits for a running job: a page the user asked for always reaches the spooler.
    ~BackgroundPrint() override;

    // Runs the job on its own thread with the printer. One job at a time: call waitUntilDone()
    // first.
    void start(std::unique_ptr<IPrinter> printer, std::function<bool(IPrinter &)> job);
    // Returns once finished() has been emitted for the running job. The window keeps painting
    // meanwhile, but takes no input, so no second command starts on top of the first.
    void waitUntilDone();

signals:
    void finished(bool printed);

private:
    void jobDone(bool printed);

    std::unique_ptr<QThread> m_thread;
};
