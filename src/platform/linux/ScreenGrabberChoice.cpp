#include "platform/ScreenGrabber.h"
#include "platform/linux/PortalScreenGrabber.h"
#include "platform/linux/WaylandSession.h"
#include "platform/linux/XShmScreenGrabber.h"

std::unique_ptr<IScreenGrabber> chooseScreenGrabber()
{
    // On a Wayland desktop nothing but the desktop portal may read the screen: Qt's own grab
    // gives nothing there, and an all-black picture on XWayland. So the session decides, not the
    // Qt platform the program happens to run on.
    if (waylandSession())
        return std::make_unique<PortalScreenGrabber>();
    return std::make_unique<XShmScreenGrabber>();
}

Result<> screenAvailable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return Failure{
            QStringLiteral("there is no display to read: neither DISPLAY nor WAYLAND_DISPLAY "
                           "is set")};
    return {};
}
