#include "mach/mach_time.h"

#include <ctime>

uint64_t mach_absolute_time()
{
    timespec now{};
    // CLOCK_MONOTONIC cannot fail on Linux with a valid pointer.
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

kern_return_t mach_timebase_info(mach_timebase_info_t info)
{
    if (info == nullptr)
        return KERN_INVALID_ARGUMENT;
    info->numer = 1;
    info->denom = 1;
    return KERN_SUCCESS;
}
