#pragma once

#include "platform/ScreenGrabber.h"

// The whole primary screen, at full resolution, as a shot; or why it could not be read.
ScreenGrab copyDesktop(IScreenGrabber &screen);
