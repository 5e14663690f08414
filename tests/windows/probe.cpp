// Stands in for the programs that Glimmerbox has the system start (the System Information tool,
// a web browser): appends one line about how it was started to the file that the variable
// GLIMMERBOX_PROBE_LOG names, and ends. Fields, separated by tabs: its own path, its command
// line, its working folder, and the show state it was given (-1 for none).

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t log[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"GLIMMERBOX_PROBE_LOG", log, MAX_PATH))
        return 1;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? int(startup.wShowWindow) : -1;

    const std::wstring line = std::wstring(self) + L'\t' + ::GetCommandLineW() + L'\t' + folder +
                              L'\t' + std::to_wstring(show) + L'\n';
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0,
                                            nullptr, nullptr);
    std::string text(size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), text.data(), bytes, nullptr,
                          nullptr);
    // One write of the whole line, so a reader never sees half of it as a complete line.
    const HANDLE file = ::CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
                    written == text.size();
    ::CloseHandle(file);
    return ok ? 0 : 1;
}
