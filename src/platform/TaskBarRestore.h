#pragma once

// What tells that the user restored a minimised window from the task bar. Qt's state reports
// where they are exact (Windows); on X11 the window manager's WM_STATE going from Iconic to
// Normal, because some window managers make Qt report a passing normal state while they
// minimise; on Wayland the window becoming active after it was inactive, as Qt reports neither
// the compositor's minimise nor its restore there.
enum class TaskBarRestore
{
    ByState,
    ByMapping,
    ByActivation
};
