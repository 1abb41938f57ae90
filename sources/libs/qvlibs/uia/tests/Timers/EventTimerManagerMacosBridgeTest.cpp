// The timer service on the platform's timer: an NSTimer on the main run loop, which here is GLib's
// default context. Real time, kept short: every check is "not earlier than", never "at most".
#include "Timers/EventTimerManagerMacosBridge.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"
#include "UIA/EventTimerManager.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace QV::UIA;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TickCounter : public EventTarget {
public:
    bool onEvent(unsigned code, EventData*) override
    {
        if (code != eEventTimer)
            return false;
        m_times.push_back(Clock::now());
        if (m_onTimer)
            m_onTimer();
        return true;
    }

    std::vector<Clock::time_point> m_times;
    std::function<void()> m_onTimer;
};

gboolean wake(gpointer) { return G_SOURCE_CONTINUE; }

// Iterates the main run loop until `done` or `timeout`; answers `done`.
bool runMainLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5000ms)
{
    const auto deadline = Clock::now() + timeout;
    const guint waker = g_timeout_add(10, &wake, nullptr);
    while (!done() && Clock::now() < deadline)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(waker);
    return done();
}

// A manager whose platform bridge the test can look at.
class MacosBridgeTest : public ::testing::Test {
protected:
    MacosBridgeTest()
        : m_manager([this](EventTimerManager& manager) {
              auto bridge = std::make_unique<EventTimerManagerMacosBridge>(manager);
              m_bridge = bridge.get();
              return bridge;
          })
    {}

    EventTimerManagerMacosBridge* m_bridge = nullptr;
    EventTimerManager m_manager;
};

TEST_F(MacosBridgeTest, TheCallbackClassCarriesTheMakersName)
{
    ASSERT_NE(EventTimerManagerMacosBridge::getCallbackClass(), nullptr);
    EXPECT_STREQ(class_getName(EventTimerManagerMacosBridge::getCallbackClass()), "ComOrvendalCocoaNSTimerCallback");
}

// A tick fires one tick after the previous one fired, so the k-th comes k ticks after the
// subscription at the earliest (less a microsecond: the run loop counts whole microseconds).
void expectPace(const std::vector<Clock::time_point>& times, Clock::time_point start,
                std::chrono::milliseconds interval)
{
    for (size_t i = 0; i < times.size(); ++i)
        EXPECT_GE(times[i] - start, interval * (i + 1) - 1ms) << "event " << i;
}

TEST_F(MacosBridgeTest, TicksKeepTheirPaceAndStopWithTheLastSubscription)
{
    TickCounter fast, slow;
    const auto subscribed = Clock::now();
    const HEventTimer fastTimer = fast.setEventTimer(0, 0);
    const HEventTimer slowTimer = slow.setEventTimer(80, 0);
    EXPECT_TRUE(m_bridge->isInstalled());
    fast.m_onTimer = [&] {
        if (fast.m_times.size() == 4)
            fast.killEventTimer(fastTimer);
    };

    ASSERT_TRUE(runMainLoopUntil([&] { return slow.m_times.size() == 2; }));
    EXPECT_EQ(fast.m_times.size(), 4u);
    expectPace(fast.m_times, subscribed, 40ms);
    expectPace(slow.m_times, subscribed, 80ms);
    EXPECT_TRUE(m_bridge->isInstalled());

    slow.killEventTimer(slowTimer);
    EXPECT_FALSE(m_bridge->isInstalled());
    runMainLoopUntil([] { return false; }, 120ms);
    EXPECT_EQ(fast.m_times.size(), 4u);
    EXPECT_EQ(slow.m_times.size(), 2u);
}

TEST_F(MacosBridgeTest, TicksGoOnInsideAModalLoopRunFromATimerEvent)
{
    TickCounter modal, ticker;
    bool ticksArrivedInside = false;
    modal.m_onTimer = [&] {
        if (modal.m_times.size() == 1)  // the nested ticks reach this target again
            ticksArrivedInside = runMainLoopUntil([&] { return ticker.m_times.size() >= 3; }, 2000ms);
    };
    const HEventTimer modalTimer = modal.setEventTimer(40, 10);
    const HEventTimer tickerTimer = ticker.setEventTimer(40, 0);

    ASSERT_TRUE(runMainLoopUntil([&] { return !modal.m_times.empty(); }));
    EXPECT_TRUE(ticksArrivedInside);
    EXPECT_GE(modal.m_times.size(), 3u);
    modal.killEventTimer(modalTimer);
    ticker.killEventTimer(tickerTimer);
    EXPECT_FALSE(m_bridge->isInstalled());
}

TEST(MacosBridge, AManagerDestroyedWhileTickingStopsItsTimer)
{
    TickCounter target;
    {
        EventTimerManager manager;  // the platform's timer
        target.setEventTimer(40, 0);
        ASSERT_TRUE(runMainLoopUntil([&] { return target.m_times.size() == 1; }));
    }
    runMainLoopUntil([] { return false; }, 120ms);
    EXPECT_EQ(target.m_times.size(), 1u);
}

}  // namespace
