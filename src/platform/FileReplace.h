#pragma once

#include "Files.h"

// The operating system's part of IFiles::replaceSafely; one implementation per system.
Result<> replaceFileSafely(const QString &target, const IFiles::Writer &writer);
