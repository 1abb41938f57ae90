#include "qvsim/model/RealClock.h"
#include "qvsim/model/VirtualClock.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;

TEST(VirtualClockTest, RunsDueTasksInTimeOrderAndKeepsTheRest)
{
    VirtualClock clock;
    std::vector<std::string> ran;
    clock.schedule(30ms, [&] { ran.push_back("c@" + std::to_string(clock.now().count())); });
    clock.schedule(10ms, [&] { ran.push_back("a@" + std::to_string(clock.now().count())); });
    clock.schedule(10ms, [&] { ran.push_back("b@" + std::to_string(clock.now().count())); });  // same time: in order
    clock.schedule(50ms, [&] { ran.push_back("late"); });

    clock.advance(30ms);

    EXPECT_EQ(ran, (std::vector<std::string>{"a@10000000", "b@10000000", "c@30000000"}));
    EXPECT_EQ(clock.now(), 30ms);
    EXPECT_EQ(clock.pendingTasks(), 1u);
}

TEST(VirtualClockTest, TasksScheduledByTasksRunWithinTheSameStep)
{
    VirtualClock clock;
    std::vector<Clock::Duration> ran;
    clock.schedule(5ms, [&] {
        ran.push_back(clock.now());
        clock.schedule(clock.now() + 5ms, [&] { ran.push_back(clock.now()); });
        clock.schedule(clock.now() + 50ms, [&] { ran.push_back(clock.now()); });
    });

    clock.advance(20ms);

    EXPECT_EQ(ran, (std::vector<Clock::Duration>{5ms, 10ms}));
    EXPECT_EQ(clock.now(), 20ms);
}

TEST(VirtualClockTest, PastTasksRunAtTheNextAdvanceWithoutMovingTimeBack)
{
    VirtualClock clock;
    clock.advance(1s);
    Clock::Duration seen{};
    clock.schedule(0ms, [&] { seen = clock.now(); });
    EXPECT_EQ(clock.pendingTasks(), 1u);

    clock.advance(0ms);

    EXPECT_EQ(seen, 1s);
    EXPECT_EQ(clock.pendingTasks(), 0u);
}

TEST(VirtualClockTest, NegativeAdvanceDoesNothing)
{
    VirtualClock clock;
    clock.advance(2s);
    clock.advance(-1s);
    EXPECT_EQ(clock.now(), 2s);
}

TEST(RealClockTest, RunsTasksOnItsThreadInTimeOrderOnceDue)
{
    RealClock clock;
    std::mutex mutex;
    std::condition_variable done;
    std::vector<int> order;
    std::vector<bool> onTime;
    const auto start = clock.now();
    for (int i : {3, 1, 2}) {
        const Clock::Duration at = start + std::chrono::milliseconds(5 * i);
        clock.schedule(at, [&, i, at] {
            std::lock_guard<std::mutex> lock(mutex);
            order.push_back(i);
            onTime.push_back(clock.now() >= at);
            done.notify_all();
        });
    }

    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(done.wait_for(lock, 10s, [&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(onTime, (std::vector<bool>{true, true, true}));
}

TEST(RealClockTest, DropsTasksNotYetDueWhenDestroyed)
{
    bool ran = false;
    {
        RealClock clock;
        clock.schedule(clock.now() + 1h, [&] { ran = true; });
    }
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace QV::SIM
