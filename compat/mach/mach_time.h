// Mach absolute time stand-in over POSIX clocks.
// Implements: mach_absolute_time and mach_timebase_info.
// Lacks: mach_continuous_time, mach_wait_until.
// Deviations: the ticks are CLOCK_MONOTONIC nanoseconds, so the timebase is always 1/1. Like the
// platform's clock it does not advance while the machine sleeps, and its zero is an arbitrary
// point before the process started.
#pragma once

#include "mach/mach.h"

struct mach_timebase_info_data_t {
    uint32_t numer;
    uint32_t denom;
};
typedef mach_timebase_info_data_t* mach_timebase_info_t;

// The ticks of the monotonic clock.
uint64_t mach_absolute_time();

// Fills in the fraction that turns ticks into nanoseconds (ns = ticks * numer / denom).
// KERN_INVALID_ARGUMENT for a null pointer.
kern_return_t mach_timebase_info(mach_timebase_info_t info);
