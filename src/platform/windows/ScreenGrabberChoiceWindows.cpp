#include "platform/ScreenGrabber.h"

std::unique_ptr<IScreenGrabber> chooseScreenGrabber()
{
    return std::make_unique<QtScreenGrabber>();
}
