#pragma once

#include "BackgroundPrint.h"
#include "base/Result.h"

#include <QImage>
#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

class IMessageBox;
class IPrinter;
class QWidget;

// Print Now, and the page of an Auto-Dump click: the preview (for Print Now), the job on a
// thread of its own, and the "Printing Now" pop-up while it runs. A page that did not come out
// is said once the pop-up has gone, so that the message never appears underneath it.
class PrintCommand : public QObject
{
    Q_OBJECT

public:
    PrintCommand(QWidget &owner, IPrinter &printer, IMessageBox &messages, float twipsPerPixelX,
                 float twipsPerPixelY);

    // Print Now goes through the preview; a click in Auto-Dump and Ctrl+Print print at once.
    enum class Route
    {
        ThroughPreview,
        AtOnce
    };
    // Who tells the user of a page that did not come out: the command, or its caller.
    enum class Telling
    {
        User,
        Caller
    };
    // The shot's area on a sheet at the zoom chosen in the preview; or at once, the whole area at
    // true size where it fits. While the job starts, popUp shows (and returns once it closed).
    // Fails when nothing started: the area is empty, or the preview was cancelled. Once the job
    // has ended and its pop-up is gone, ended says whether the printer took the page.
    Result<> print(const QImage &shot, const QRect &area, Route route,
                   const std::function<void()> &popUp, Telling telling = Telling::User,
                   std::function<void(Result<>)> ended = {});
    // What a page that did not come out is said with.
    QString notPrinted() const;
    // Printer Setup. A running job keeps the printer it started with; the choice serves the next.
    void setUp();
    // Returns once the running job, if any, has ended.
    void waitUntilDone() { m_printing.waitUntilDone(); }

private:
    void jobEnded(bool printed);

    QWidget &m_owner;
    IPrinter &m_printer;
    IMessageBox &m_messages;
    float m_tppX;
    float m_tppY;
    BackgroundPrint m_printing;
    bool m_confirming = false;
    bool m_tellUser = true;
    std::optional<bool> m_outcome; // a job that ended while its pop-up was up
    std::function<void(Result<>)> m_ended;
};
