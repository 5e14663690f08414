#pragma once

#include "XTools.h"

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

// The real program in its own process, and what a user's task bar and window manager do to its
// windows.
namespace UserDesktop {

class Program
{
public:
    Program(const QString &executable, const QStringList &args)
    {
        m_process.setProgram(executable);
        m_process.setArguments(args);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start();
    }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    bool started() { return m_process.waitForStarted(); }
    // The exit code once the program has ended normally within the time; -1 otherwise.
    int waitForExit(int timeoutMs)
    {
        if (!m_process.waitForFinished(timeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }

private:
    QProcess m_process;
};

// The first managed window whose name matches, or empty after the time.
inline QString waitForWindow(const QString &nameRegex, int timeoutMs = 15000)
{
    QString window;
    XTools::waitFor(
        [&] {
            const QStringList found = XTools::managedWindows(nameRegex);
            if (!found.isEmpty())
                window = found.first();
            return !window.isEmpty();
        },
        timeoutMs);
    return window;
}

inline void xdotool(const QStringList &args)
{
    XTools::run(QStringLiteral("xdotool"), args);
}

inline void maximise(const QString &window)
{
    XTools::run(QStringLiteral("wmctrl"),
                {QStringLiteral("-i"), QStringLiteral("-r"), window, QStringLiteral("-b"),
                 QStringLiteral("add,maximized_vert,maximized_horz")});
}

// The main window's client area is 737 x 488 below its menu bar.
inline constexpr int FormWidth = 737;
inline constexpr int FormHeight = 488;

inline bool isNormalAtDesignSize(const QString &window)
{
    const QRect g = XTools::geometry(window);
    const QStringList states = XTools::states(window);
    return !XTools::isIconic(window) && g.width() == FormWidth && g.height() > FormHeight + 10 &&
           g.height() < FormHeight + 40 &&
           !states.join(QLatin1Char(' ')).contains(QLatin1String("MAXIMIZED"));
}

// The main window's form area (below the menu bar) in screen coordinates.
inline QRect formArea(const QString &window)
{
    const QRect client = XTools::geometry(window);
    return QRect(client.x(), client.bottom() + 1 - FormHeight, FormWidth, FormHeight);
}

} // namespace UserDesktop
