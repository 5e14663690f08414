#include "platform/ScreenGrabber.h"
#include "platform/qt/QtServices.h"

std::unique_ptr<IScreenGrabber> chooseScreenGrabber()
{
    return std::make_unique<QtScreenGrabber>();
}
