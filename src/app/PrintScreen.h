#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class GlobalKey;
class HandOverServer;
class IMessageBox;
class PrintCommand;
class PrintQueue;
class QWidget;
struct Services;

// glimmerbox --print-screen. A running Glimmerbox of the same user prints the screen, its shot
// joining its thumbnails: the exit status it answers with, nothing when none runs.
std::optional<int> printScreenThroughRunningProgram();
// Without one, this process prints it, with the same pop-up. The exit status: 0 once the
// printer has the page, otherwise 1, with the reason on standard error.
int printScreenHere(const Services &services);
// The exit status of a --print-screen that could not print: 1, with the reason.
int printScreenFailed(const QString &reason);

// The ways to print the screen while the program runs without touching its window: Ctrl+Print
// from any window, and glimmerbox --print-screen, which it answers once the page has gone to
// the printer (or could not). Each is a job of the queue; while a dialog of the program is
// open, neither prints, and the command is told why.
class PrintScreenRequests : public QObject
{
    Q_OBJECT

public:
    PrintScreenRequests(QWidget &window, PrintQueue &queue, IMessageBox &messages);
    ~PrintScreenRequests() override;

private:
    void keyPressed();
    void requested(quint64 client, const QByteArray &line);
    void warnOfStrangeLine(const QByteArray &line);

    PrintQueue &m_queue;
    GlobalKey *m_key;
    HandOverServer *m_server;
    QElapsedTimer m_strangeLines; // since the last warning of a line that is no request
    int m_unsaid = 0;
};
