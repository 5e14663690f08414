#include "BackgroundPrint.h"

#include "platform/Printer.h"

#include <QEventLoop>
#include <QThread>

BackgroundPrint::BackgroundPrint(QObject *parent)
    : QObject(parent)
{}

BackgroundPrint::~BackgroundPrint()
{
    if (m_thread)
        m_thread->wait();
}

void BackgroundPrint::start(std::unique_ptr<IPrinter> printer, std::function<bool(IPrinter &)> job)
{
    Q_ASSERT(!m_thread);
    std::shared_ptr<IPrinter> device(std::move(printer));
    m_thread.reset(QThread::create([this, device, job = std::move(job)] {
        const bool printed = job(*device);
        QMetaObject::invokeMethod(
            this, [this, printed] { jobDone(printed); }, Qt::QueuedConnection);
    }));
    m_thread->start();
}

void BackgroundPrint::jobDone(bool printed)
{
    m_thread->wait();
    m_thread.reset();
    emit finished(printed);
}

void BackgroundPrint::waitUntilDone()
{
    if (!m_thread)
        return;
    QEventLoop loop;
    connect(this, &BackgroundPrint::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
