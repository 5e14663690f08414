#include "VbText.h"

QString singleText(float value)
{
    return QString::number(double(value), 'g', 7);
}
