#include <mach/mach_time.h>

#include <gtest/gtest.h>

#include <ctime>

namespace {

uint64_t monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

TEST(MachTime, TimebaseIsNanoseconds)
{
    mach_timebase_info_data_t info{0, 0};
    EXPECT_EQ(mach_timebase_info(&info), KERN_SUCCESS);
    EXPECT_EQ(info.numer, 1u);
    EXPECT_EQ(info.denom, 1u);
    EXPECT_EQ(mach_timebase_info(nullptr), KERN_INVALID_ARGUMENT);
}

TEST(MachTime, AbsoluteTimeIsTheMonotonicClock)
{
    const uint64_t before = monotonicNanoseconds();
    const uint64_t ticks = mach_absolute_time();
    const uint64_t after = monotonicNanoseconds();
    EXPECT_LE(before, ticks);
    EXPECT_LE(ticks, after);
    EXPECT_LE(ticks, mach_absolute_time());
}

}  // namespace
