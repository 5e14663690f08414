#pragma once

#include <QString>

// A single-precision number written the way the status texts show it: general form, at most
// seven significant digits, whole numbers without decimals.
QString singleText(float value);
