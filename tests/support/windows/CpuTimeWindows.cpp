#include "CpuTime.h"

#include <windows.h>

#include <cstdint>

namespace {

double seconds(const FILETIME &time)
{
    return double((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

} // namespace

double processCpuSeconds()
{
    FILETIME created, ended, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user))
        return 0;
    return seconds(kernel) + seconds(user);
}
