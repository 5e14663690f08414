// Stands in for the programs that Glimmerbox has the system start (the System Information tool, a
// web browser): appends how it was started to the file that GLIMMERBOX_PROBE_LOG names, as one
// line of its command line, working folder and show state, separated by tabs.

#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    STARTUPINFOW startup = {};
    ::GetStartupInfoW(&startup);
    const wchar_t *log = _wgetenv(L"GLIMMERBOX_PROBE_LOG");
    FILE *file = log ? _wfopen(log, L"a") : nullptr;
    if (!file)
        return 1;
    // Written out at once when closed, so that a reader never takes half a line for all of it.
    std::fprintf(file, "%ls\t%ls\t%d\n", ::GetCommandLineW(), folder,
                 startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1);
    return std::fclose(file);
}
