#include "platform/Shell.h"

#include <QDir>
#include <QWidget>

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

// The shell shows whatever it has to ask (a chooser, an error) over this window. Only a real
// window will do: on Qt's offscreen platform a widget's id is not a window handle.
HWND windowHandle(QWidget *owner)
{
    if (!owner)
        return nullptr;
    const auto handle = reinterpret_cast<HWND>(owner->window()->winId());
    return ::IsWindow(handle) ? handle : nullptr;
}

} // namespace

void SystemShell::openUrl(const QString &url, QWidget *owner)
{
    // The shell's default action for the address, as a user's double click would do it. The
    // browser starts in the root of drive C rather than in whatever folder this program has made
    // current, so it never holds that folder open. Whatever the shell answers is of no use here:
    // without a browser nothing can be done about it.
    const std::wstring address = url.toStdWString();
    ::ShellExecuteW(windowHandle(owner), nullptr, address.c_str(), nullptr, L"c:\\", SW_SHOWNORMAL);
}

bool SystemProcessLauncher::startDetached(const QString &program)
{
    // The path as the registry gives it, started as it stands: no search along PATH, no
    // arguments, a normal window that takes the focus from ours.
    const std::wstring application = QDir::toNativeSeparators(program).toStdWString();
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &started))
        return false;
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}
