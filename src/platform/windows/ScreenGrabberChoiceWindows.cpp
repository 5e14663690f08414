#include "platform/ScreenGrabber.h"

std::unique_ptr<IScreenGrabber> chooseScreenGrabber()
{
    return std::make_unique<QtScreenGrabber>();
}

Result<> screenAvailable()
{
    return {}; // a program started in a session always has its desktop
}
