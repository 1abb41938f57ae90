#include "GP/Timer.h"

#include <mach/mach_time.h>

#include <limits>

namespace QV::GP {

unsigned long long Timer::getCurrentTicks() { return mach_absolute_time(); }

uint32_t Timer::ticksPerSecondOf(uint32_t numer, uint32_t denom)
{
    constexpr double kMax = std::numeric_limits<uint32_t>::max();
    if (numer == 0 || denom == 0)
        return 1000000000u;
    const double perSecond = static_cast<double>(denom) * 1e9 / static_cast<double>(numer);
    // Out of range the conversion to an integer would be undefined.
    if (perSecond >= kMax)
        return std::numeric_limits<uint32_t>::max();
    if (perSecond < 1.0)
        return 1;
    return static_cast<uint32_t>(perSecond);
}

uint32_t Timer::getTicksPerSecond()
{
    static const uint32_t s_ticksPerSecond = [] {
        mach_timebase_info_data_t timebase{0, 0};
        if (mach_timebase_info(&timebase) != KERN_SUCCESS)
            timebase = {0, 0};
        return ticksPerSecondOf(timebase.numer, timebase.denom);
    }();
    return s_ticksPerSecond;
}

unsigned long long Timer::ticksToMS(unsigned long long ticks, uint32_t ticksPerSecond)
{
    if (ticksPerSecond == 0)
        ticksPerSecond = 1;
    // ticks * 1000 needs up to 74 bits: after about 213 days of nanosecond ticks it no longer fits
    // 64 bits, so the product is formed in 128 bits.
    const unsigned __int128 ms = static_cast<unsigned __int128>(ticks) * 1000u / ticksPerSecond;
    if (ms > std::numeric_limits<unsigned long long>::max())
        return std::numeric_limits<unsigned long long>::max();
    return static_cast<unsigned long long>(ms);
}

unsigned long long Timer::convertTicksToMS(unsigned long long ticks) { return ticksToMS(ticks, getTicksPerSecond()); }

}  // namespace QV::GP
