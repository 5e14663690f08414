#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class GlobalKey;
class HandOverServer;
class IMessageBox;
class PrintCommand;
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
// the printer (or could not). While a dialog of the program is open, neither prints.
class PrintScreenRequests : public QObject
{
    Q_OBJECT

public:
    // printScreen copies the screen, the window out of the picture, and starts the page, telling
    // the user of a failure or not; it gives why no page started, empty when one did.
    PrintScreenRequests(QWidget &window, PrintCommand &print, IMessageBox &messages,
                        std::function<QString(bool tellUser)> printScreen);
    ~PrintScreenRequests() override;

private:
    void keyPressed();
    void requested(quint64 client, const QByteArray &line);
    void printed(bool printed);

    PrintCommand &m_print;
    std::function<QString(bool)> m_printScreen;
    GlobalKey *m_key;
    HandOverServer *m_server;
    std::optional<quint64> m_waiting; // the request whose page is being printed
    bool m_starting = false;          // a request waits for an earlier job to end
};
