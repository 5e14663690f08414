#pragma once

#include <QString>
#include <QtGlobal>

// The desktop session is a Wayland one, whichever Qt platform the program runs on: there only
// the desktop's own services read the screen or hand out a key.
inline bool waylandSession()
{
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE")
                   .compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}
