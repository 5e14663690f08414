#include "CpuTime.h"

#include <ctime>

double processCpuSeconds()
{
    struct timespec used = {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) + double(used.tv_nsec) / 1e9;
}
