// The platform core's tick clock: Mach absolute time and its conversion to milliseconds.
#pragma once

#include <cstdint>

namespace QV::GP {

class Timer {
public:
    // The current Mach absolute time.
    static unsigned long long getCurrentTicks();
    // Whole milliseconds in the given ticks (the remainder dropped), exact for every 64-bit tick
    // count; a result beyond 64 bits (only with fewer than 1000 ticks per second) saturates.
    static unsigned long long convertTicksToMS(unsigned long long ticks);

    // Ticks per second of the Mach timebase, fetched once and kept for the life of the process.
    static uint32_t getTicksPerSecond();

    // The computations behind the two above, for any timebase.
    // denom * 1e9 / numer in double precision, cut to 32 bits and kept within 1 .. 2^32-1; a
    // timebase with a zero term counts as nanoseconds (1e9).
    static uint32_t ticksPerSecondOf(uint32_t numer, uint32_t denom);
    static unsigned long long ticksToMS(unsigned long long ticks, uint32_t ticksPerSecond);
};

}  // namespace QV::GP
