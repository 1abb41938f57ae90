#include "GP/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <thread>

namespace {

using QV::GP::Timer;

constexpr unsigned long long kMaxTicks = std::numeric_limits<unsigned long long>::max();

TEST(Timer, ConvertsTicksToWholeMilliseconds)
{
    struct Case {
        unsigned long long ticks;
        uint32_t ticksPerSecond;
        unsigned long long ms;
    } cases[] = {
        {0, 1000000000u, 0},
        {1999999, 1000000000u, 1},  // the remainder is dropped
        {2000000, 1000000000u, 2},
        // Past ~213 days of nanosecond ticks, ticks * 1000 no longer fits 64 bits.
        {18446744073709552ull, 1000000000u, 18446744073ull},
        {kMaxTicks, 1000000000u, 18446744073709ull},
        {kMaxTicks, 24000000u, 768614336404564ull},  // a 125/3 timebase
        {999, 1000u, 999},
        {kMaxTicks, 1u, kMaxTicks},  // beyond 64 bits: saturates
    };
    for (const Case& c : cases)
        EXPECT_EQ(Timer::ticksToMS(c.ticks, c.ticksPerSecond), c.ms) << c.ticks << " at " << c.ticksPerSecond;
}

TEST(Timer, TicksPerSecondFromTheTimebase)
{
    struct Case {
        uint32_t numer;
        uint32_t denom;
        uint32_t ticksPerSecond;
    } cases[] = {
        {1, 1, 1000000000u},
        {125, 3, 24000000u},
        {0, 1, 1000000000u},  // a broken timebase counts as nanoseconds
        {1, 0, 1000000000u},
        {1, 5, std::numeric_limits<uint32_t>::max()},  // 5e9 does not fit: kept in range
        {std::numeric_limits<uint32_t>::max(), 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Timer::ticksPerSecondOf(c.numer, c.denom), c.ticksPerSecond) << c.numer << "/" << c.denom;
}

TEST(Timer, UsesTheSystemTimebase)
{
    EXPECT_EQ(Timer::getTicksPerSecond(), 1000000000u);
    EXPECT_EQ(Timer::convertTicksToMS(1999999), 1u);
    EXPECT_EQ(Timer::convertTicksToMS(kMaxTicks), 18446744073709ull);
}

TEST(Timer, TicksFollowTheClock)
{
    const unsigned long long before = Timer::getCurrentTicks();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const unsigned long long after = Timer::getCurrentTicks();
    ASSERT_GE(after, before);
    EXPECT_GE(Timer::convertTicksToMS(after - before), 20u);
}

}  // namespace
