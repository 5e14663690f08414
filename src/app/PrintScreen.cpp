#include "PrintScreen.h"

#include "PrintQueue.h"

#include "dialogs/ConfirmForm.h"
#include "platform/GlobalKey.h"
#include "platform/HandOver.h"
#include "platform/MessageBox.h"
#include "platform/ScreenGrabber.h"
#include "platform/ScreenMetrics.h"
#include "platform/Services.h"
#include "printing/PrintCommand.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>

#include <cstdio>

namespace {

Q_LOGGING_CATEGORY(lcRequests, "glimmerbox.requests", QtInfoMsg)

const QByteArray Request = "print-screen";
const QByteArray Printed = "printed";
const QByteArray Failed = "failed ";

} // namespace

int printScreenFailed(const QString &reason)
{
    std::fprintf(stderr, "glimmerbox: %s\n", qPrintable(reason));
    return 1;
}

std::optional<int> printScreenThroughRunningProgram()
{
    const HandOverReply reply = askRunningProgram(Request);
    switch (reply.outcome) {
    case HandOverReply::Outcome::NoProgram:
        return std::nullopt;
    case HandOverReply::Outcome::NotTaken:
        // It may be stopped or hung: the page comes from here rather than never.
        std::fprintf(stderr,
                     "glimmerbox: the running Glimmerbox did not take the request within %d "
                     "seconds: going on without it\n",
                     TakenWithinSeconds);
        return std::nullopt;
    case HandOverReply::Outcome::Answered:
        break;
    }
    if (reply.answer == Printed)
        return 0;
    return printScreenFailed(reply.answer.startsWith(Failed)
                                 ? QString::fromUtf8(reply.answer.mid(Failed.size()))
                                 : QStringLiteral("the running Glimmerbox did not answer"));
}

int printScreenHere(const Services &services)
{
    const ScreenGrab grab = services.screen->grabPrimaryScreen();
    if (!grab)
        return printScreenFailed(
            QStringLiteral("The screen could not be copied: %1.").arg(grab.reason()));
    QWidget owner; // never shown: it holds the pop-up and the print command
    ConfirmPopups popups(owner, *services.events, *services.metrics);
    PrintCommand print(owner, *services.printer, *services.messages,
                       services.metrics->twipsPerPixelX(), services.metrics->twipsPerPixelY());
    Result<> printed = Failure{print.notPrinted()};
    const Result<> started = print.print(
        *grab, grab->rect(), PrintCommand::Route::AtOnce, [&popups] { popups.confirmPrint(); },
        PrintCommand::Telling::Caller, [&printed](Result<> done) { printed = std::move(done); });
    if (!started)
        return printScreenFailed(started.reason());
    print.waitUntilDone();
    return printed ? 0 : printScreenFailed(printed.reason());
}

PrintScreenRequests::PrintScreenRequests(QWidget &window, PrintQueue &queue, IMessageBox &messages)
    : QObject(&window)
    , m_queue(queue)
    , m_key(new GlobalKey(window))
    , m_server(new HandOverServer(this))
{
    connect(m_key, &GlobalKey::pressed, this, &PrintScreenRequests::keyPressed);
    connect(m_key, &GlobalKey::refused, this, [this, &messages] {
        if (m_key->takenByAnother())
            messages.inform(QStringLiteral("Ctrl+Print"),
                            QStringLiteral("Ctrl+Print cannot print the screen: %1.\r\n"
                                           "Glimmerbox works on without it.")
                                .arg(m_key->unavailable()));
        else
            qCInfo(lcRequests, "no Ctrl+Print: %s", qPrintable(m_key->unavailable()));
    });
    if (!m_server->error().isEmpty())
        qCInfo(lcRequests, "no --print-screen hand-over: %s", qPrintable(m_server->error()));
    connect(m_server, &HandOverServer::requested, this, &PrintScreenRequests::requested);
}

PrintScreenRequests::~PrintScreenRequests() = default;

void PrintScreenRequests::keyPressed()
{
    // Even while a page is being made: the key pressed again is another page. A dialog the user
    // has open refuses it when its turn comes.
    m_queue.submit({});
}

void PrintScreenRequests::requested(quint64 client, const QByteArray &line)
{
    if (line != Request) {
        warnOfStrangeLine(line);
        m_server->answer(client, Failed + "not a request Glimmerbox knows");
        return;
    }
    PrintQueue::Request request;
    request.tellUser = false;
    request.wanted = [server = QPointer(m_server), client] {
        return server && server->waiting(client);
    };
    request.answer = [server = QPointer(m_server), client](const Result<> &printed) {
        if (server)
            server->answer(client, printed ? Printed : Failed + printed.reason().toUtf8());
    };
    m_queue.submit(std::move(request));
}

void PrintScreenRequests::warnOfStrangeLine(const QByteArray &line)
{
    // A script gone wrong can send thousands: the log says so without filling up.
    if (m_strangeLines.isValid() && !m_strangeLines.hasExpired(10000)) {
        ++m_unsaid;
        return;
    }
    const QString more =
        m_unsaid ? QStringLiteral(" (and %1 more since the last warning)").arg(m_unsaid) : "";
    qCWarning(lcRequests, "ignored a request that is not one: %s%s",
              line.toPercentEncoding().constData(), qPrintable(more));
    m_unsaid = 0;
    m_strangeLines.start();
}
