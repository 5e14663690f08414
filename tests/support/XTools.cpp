#include "XTools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace XTools {

Result run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess process;
    process.start(program, args);
    Result result;
    if (!process.waitForStarted(5000)) {
        result.err = program + QStringLiteral(": cannot start (not installed?)");
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = program + QStringLiteral(": timed out");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

Result runPumping(const QString &program, const QStringList &args, const QByteArray &input,
                  int timeoutMs)
{
    QProcess process;
    process.start(program, args);
    Result result;
    if (!process.waitForStarted(5000)) {
        result.err = program + QStringLiteral(": cannot start (not installed?)");
        return result;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        result.err = program + QStringLiteral(": timed out");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLatin1(process.readAllStandardOutput().toBase64());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

bool waitFor(const std::function<bool()> &check, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (check())
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 25);
        QThread::msleep(25);
    }
}

QStringList visibleWindows(const QString &nameRegex)
{
    const Result r =
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--name"), nameRegex});
    return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QRect geometry(const QString &window)
{
    const Result r = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    auto field = [&](const char *name) {
        const QRegularExpression re(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)));
        return re.match(r.out).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                 field("Height"));
}

QList<int> frameExtents(const QString &window)
{
    const Result r = run(QStringLiteral("xprop"),
                         {QStringLiteral("-id"), window, QStringLiteral("_NET_FRAME_EXTENTS")});
    QList<int> values;
    const QString list = r.out.section(QLatin1Char('='), 1);
    for (const QString &v : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        values.append(v.trimmed().toInt());
    return values;
}

QString caption(const QString &window)
{
    const Result r =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_NAME"),
                                      QStringLiteral("WM_NAME")});
    const QRegularExpression re(QStringLiteral("= \"(.*)\""));
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String("_NET_WM_NAME")) && re.match(line).hasMatch())
            return re.match(line).captured(1);
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String("WM_NAME")) && re.match(line).hasMatch())
            return re.match(line).captured(1);
    return {};
}

QStringList states(const QString &window)
{
    const Result r = run(QStringLiteral("xprop"),
                         {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")});
    QStringList atoms;
    const QString list = r.out.section(QLatin1Char('='), 1);
    for (const QString &v : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        atoms.append(v.trimmed());
    return atoms;
}

bool isIconic(const QString &window)
{
    const Result r =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_STATE")});
    return r.out.contains(QLatin1String("window state: Iconic"));
}

QStringList managedWindows(const QString &nameRegex)
{
    const Result r = run(QStringLiteral("xdotool"),
                         {QStringLiteral("search"), QStringLiteral("--name"), nameRegex});
    QStringList managed;
    for (const QString &window : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const Result state = run(QStringLiteral("xprop"),
                                 {QStringLiteral("-id"), window, QStringLiteral("WM_STATE")});
        if (state.out.contains(QLatin1String("window state:")))
            managed.append(window);
    }
    return managed;
}

} // namespace XTools
