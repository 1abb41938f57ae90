#include "DVK2/Sleep.h"

#include <boost/chrono.hpp>
#include <boost/thread/thread.hpp>

#include <mutex>
#include <utility>

namespace QV::DVK2 {
namespace {

std::mutex s_sleepLock;
SleepFunction s_sleep;  // empty: the real sleep

}  // namespace

void sleepFor(std::chrono::nanoseconds duration)
{
    SleepFunction sleep;
    {
        std::lock_guard<std::mutex> lock(s_sleepLock);
        sleep = s_sleep;
    }
    if (sleep) {
        sleep(duration);
        return;
    }
    // Boost's sleep is an interruption point on an interruptible thread (the update worker).
    boost::this_thread::sleep_for(boost::chrono::nanoseconds(duration.count()));
}

SleepFunction setSleepFunction(SleepFunction sleep)
{
    std::lock_guard<std::mutex> lock(s_sleepLock);
    return std::exchange(s_sleep, std::move(sleep));
}

}  // namespace QV::DVK2
