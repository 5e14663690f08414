#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

// The command-line X tools a user's desktop would use (xdotool, wmctrl, xwininfo, xprop), run
// as separate processes.
namespace XTools {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program and waits for it (at most timeoutMs); a missing program gives exit code -1.
Result run(const QString &program, const QStringList &args, int timeoutMs = 10000);

// Like run, but keeps this process's own events going while it waits: needed when the other
// program talks back to this one, as a clipboard reader does to the clipboard's owner.
Result runPumping(const QString &program, const QStringList &args, const QByteArray &input = {},
                  int timeoutMs = 10000);

// Calls check every 25 ms until it returns true or the time is up.
bool waitFor(const std::function<bool()> &check, int timeoutMs);

// The visible windows whose name matches the regular expression.
QStringList visibleWindows(const QString &nameRegex);

// The client rectangle of a window in root coordinates.
QRect geometry(const QString &window);

// Left, right, top, bottom frame extents as the window manager reports them.
QList<int> frameExtents(const QString &window);

// A window's caption (_NET_WM_NAME, or WM_NAME when that is missing).
QString caption(const QString &window);

// _NET_WM_STATE atoms of the window.
QStringList states(const QString &window);

// Whether the window manager shows the window as an icon (WM_STATE Iconic).
bool isIconic(const QString &window);

// The windows that the window manager manages (they have a WM_STATE) whose name matches.
QStringList managedWindows(const QString &nameRegex);

} // namespace XTools
