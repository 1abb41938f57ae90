// The timer service on a clock the test drives: each notifySubscribers() is one 40 ms tick. Intervals
// at multiples of the tick, priority order, cancelling from inside events, nested ticks, and when the
// operating-system timer runs.
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"
#include "UIA/EventTimerManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace QV::UIA;

// The operating-system timer, as seen by the test.
class FakeBridge : public AbstractEventTimerManagerOsBridge {
public:
    FakeBridge(EventTimerManager& manager, int* installs, int* deinstalls)
        : AbstractEventTimerManagerOsBridge(manager), m_installs(installs), m_deinstalls(deinstalls)
    {}
    void install(std::chrono::milliseconds tick) override
    {
        EXPECT_EQ(tick.count(), 40);
        EXPECT_FALSE(m_running) << "installed twice";
        m_running = true;
        ++*m_installs;
    }
    void deinstall() override
    {
        EXPECT_TRUE(m_running) << "deinstalled while not installed";
        m_running = false;
        ++*m_deinstalls;
    }

private:
    bool m_running = false;
    int* m_installs;
    int* m_deinstalls;
};

struct tDelivery {
    std::string target;
    int tick;
    int intervalMs;

    bool operator==(const tDelivery& other) const
    {
        return target == other.target && tick == other.tick && intervalMs == other.intervalMs;
    }
};

std::ostream& operator<<(std::ostream& out, const tDelivery& d)
{
    return out << "{" << d.target << " tick " << d.tick << " " << d.intervalMs << " ms}";
}

// The manager, the tick count and one log of every delivery, in order.
class EventTimerManagerTest : public ::testing::Test {
protected:
    EventTimerManagerTest()
        : m_manager([this](EventTimerManager& manager) {
              return std::make_unique<FakeBridge>(manager, &m_installs, &m_deinstalls);
          })
    {}

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            ++m_tick;
            m_manager.notifySubscribers();
        }
    }

    int m_installs = 0;
    int m_deinstalls = 0;
    int m_tick = 0;
    std::vector<tDelivery> m_log;
    EventTimerManager m_manager;
};

// A target that logs its timer events and may act inside them.
class Subscriber : public EventTarget {
public:
    Subscriber(std::string name, std::vector<tDelivery>& log, const int& tick)
        : m_name(std::move(name)), m_log(log), m_tick(tick)
    {}

    bool onEvent(unsigned code, EventData* data) override
    {
        if (code != eEventTimer)
            return false;
        auto* timer = static_cast<TimerEventData*>(data);
        EXPECT_EQ(timer->timer, m_handle) << m_name;
        m_log.push_back({m_name, m_tick, timer->intervalMs});
        if (m_onTimer)
            m_onTimer();
        return true;
    }

    HEventTimer subscribe(int intervalMs, int priority) { return m_handle = setEventTimer(intervalMs, priority); }

    std::string m_name;
    std::vector<tDelivery>& m_log;
    const int& m_tick;
    HEventTimer m_handle = nullptr;
    std::function<void()> m_onTimer;
};

TEST_F(EventTimerManagerTest, IntervalsRoundToTheNearestMultipleOfTheTick)
{
    const struct {
        int requested;
        int interval;
    } cases[] = {
        {0, 40},
        {-5, 40},
        {INT_MIN, 40},
        {40, 40},
        {41, 40},
        {59, 40},
        {60, 40},  // half: down
        {61, 80},
        {99, 80},
        {100, 80},
        {101, 120},
        {119, 120},
        {1000, 1000},
        {INT_MAX - 7, 2147483640},  // the multiple above would not fit an int
        {INT_MAX, 2147483640},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_manager.roundInterval(c.requested), c.interval) << c.requested;
}

TEST_F(EventTimerManagerTest, ASubscriptionFiresOneIntervalAfterItWasMadeThenEveryInterval)
{
    const struct {
        int requested;
        std::vector<int> ticks;  // of the first ten
    } cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {61, {2, 4, 6, 8, 10}},
        {80, {2, 4, 6, 8, 10}},
        {100, {2, 4, 6, 8, 10}},
        {101, {3, 6, 9}},
        {400, {10}},
    };
    for (const auto& c : cases) {
        m_log.clear();
        m_tick = 0;
        Subscriber target("t", m_log, m_tick);
        target.subscribe(c.requested, 0);
        tick(10);
        std::vector<int> ticks;
        for (const tDelivery& d : m_log) {
            ticks.push_back(d.tick);
            EXPECT_EQ(d.intervalMs, m_manager.roundInterval(c.requested));
        }
        EXPECT_EQ(ticks, c.ticks) << c.requested;
        target.killEventTimer(target.m_handle);
    }
}

TEST_F(EventTimerManagerTest, DueSubscriptionsAreNotifiedByPriorityThenAge)
{
    Subscriber first("5 first", m_log, m_tick), high("10", m_log, m_tick), second("5 second", m_log, m_tick),
        low("-10", m_log, m_tick), slow("7 slow", m_log, m_tick);
    first.subscribe(40, 5);
    high.subscribe(40, 10);
    second.subscribe(40, 5);
    low.subscribe(40, -10);
    slow.subscribe(80, 7);
    tick(2);
    EXPECT_EQ(m_log, (std::vector<tDelivery>{{"10", 1, 40},
                                             {"5 first", 1, 40},
                                             {"5 second", 1, 40},
                                             {"-10", 1, 40},
                                             {"10", 2, 40},
                                             {"7 slow", 2, 80},
                                             {"5 first", 2, 40},
                                             {"5 second", 2, 40},
                                             {"-10", 2, 40}}));
}

TEST_F(EventTimerManagerTest, TheOperatingSystemTimerRunsExactlyWhileSubscriptionsExist)
{
    Subscriber a("a", m_log, m_tick), b("b", m_log, m_tick);
    a.subscribe(40, 0);
    b.subscribe(80, 0);
    EXPECT_EQ(m_installs, 1);
    a.killEventTimer(a.m_handle);
    EXPECT_EQ(m_deinstalls, 0);
    b.killEventTimer(b.m_handle);
    EXPECT_EQ(m_deinstalls, 1);
    tick();
    EXPECT_TRUE(m_log.empty());

    a.subscribe(40, 0);
    EXPECT_EQ(m_installs, 2);
}

TEST_F(EventTimerManagerTest, KillingOwnSubscriptionInsideItsEventEndsItAndStopsTheLastTimer)
{
    Subscriber target("t", m_log, m_tick);
    target.m_onTimer = [&] {
        target.killEventTimer(target.m_handle);
        EXPECT_EQ(m_deinstalls, 0);  // still being notified: only marked
    };
    target.subscribe(40, 0);
    tick();
    EXPECT_EQ(m_deinstalls, 1);  // removed right after its notification
    tick(3);
    EXPECT_EQ(m_log.size(), 1u);
}

TEST_F(EventTimerManagerTest, KillingAnotherSubscriptionInsideAnEventSparesItThatTick)
{
    Subscriber killer("killer", m_log, m_tick), victim("victim", m_log, m_tick), other("other", m_log, m_tick);
    killer.subscribe(40, 2);
    victim.subscribe(40, 1);
    other.subscribe(40, 0);
    killer.m_onTimer = [&] { victim.killEventTimer(victim.m_handle); };
    tick();
    EXPECT_EQ(m_log, (std::vector<tDelivery>{{"killer", 1, 40}, {"other", 1, 40}}));
}

TEST_F(EventTimerManagerTest, HandlesOfOtherTargetsNullAndStaleHandlesAreIgnored)
{
    Subscriber owner("owner", m_log, m_tick), stranger("stranger", m_log, m_tick);
    owner.subscribe(40, 0);
    stranger.killEventTimer(owner.m_handle);
    stranger.killEventTimer(nullptr);
    tick();
    EXPECT_EQ(m_log.size(), 1u);

    HEventTimer stale = owner.m_handle;
    owner.killEventTimer(stale);
    owner.killEventTimer(stale);  // freed already: must not be touched
    EXPECT_EQ(m_deinstalls, 1);
}

TEST_F(EventTimerManagerTest, ASubscriptionMadeDuringATickCountsInThatTickOnlyWhenBehindTheCurrentOne)
{
    Subscriber maker("maker", m_log, m_tick), behind("behind", m_log, m_tick), ahead("ahead", m_log, m_tick);
    maker.m_onTimer = [&] {
        if (m_tick == 1) {
            behind.subscribe(40, 0);
            ahead.subscribe(40, 10);
        }
    };
    maker.subscribe(40, 5);
    tick(2);
    EXPECT_EQ(m_log, (std::vector<tDelivery>{
                         {"maker", 1, 40}, {"behind", 1, 40}, {"ahead", 2, 40}, {"maker", 2, 40}, {"behind", 2, 40}}));
}

// Ticks arrive while an event of an earlier one still runs (a modal loop inside a timer event).
TEST_F(EventTimerManagerTest, NestedTicksDeliverToEveryoneButNothingMoreToACancelledSubscription)
{
    Subscriber modal("modal", m_log, m_tick), quitter("quitter", m_log, m_tick), last("last", m_log, m_tick);
    modal.subscribe(40, 2);
    quitter.subscribe(40, 1);
    last.subscribe(40, 0);
    modal.m_onTimer = [&] {
        if (m_tick == 1)
            tick(2);  // the nested ticks 2 and 3
    };
    quitter.m_onTimer = [&] {
        // In tick 2: cancels its own subscription, and the modal one, which is still being notified.
        quitter.killEventTimer(quitter.m_handle);
        modal.killEventTimer(modal.m_handle);
    };
    tick();
    EXPECT_EQ(m_log, (std::vector<tDelivery>{{"modal", 1, 40},
                                             {"modal", 2, 40},
                                             {"quitter", 2, 40},
                                             {"last", 2, 40},
                                             {"last", 3, 40},
                                             {"last", 3, 40}}));  // the outer tick goes on
    EXPECT_EQ(m_deinstalls, 0);
    last.killEventTimer(last.m_handle);
    EXPECT_EQ(m_deinstalls, 1);  // the two cancelled ones went once their notifications ended
}

TEST_F(EventTimerManagerTest, ATargetThatGoesAwayTakesItsSubscriptionsWithIt)
{
    auto doomed = std::make_unique<Subscriber>("doomed", m_log, m_tick);
    doomed->subscribe(40, 0);
    doomed->setEventTimer(80, 3);
    Subscriber stays("stays", m_log, m_tick);
    stays.subscribe(40, 1);
    doomed.reset();
    tick(2);
    EXPECT_EQ(m_log, (std::vector<tDelivery>{{"stays", 1, 40}, {"stays", 2, 40}}));

    // Even from inside its own timer event.
    auto selfDestructing = std::make_unique<Subscriber>("self", m_log, m_tick);
    selfDestructing->subscribe(40, 0);
    selfDestructing->m_onTimer = [&] { selfDestructing.reset(); };
    tick(2);
    EXPECT_EQ(m_log.back(), (tDelivery{"stays", 4, 40}));
    EXPECT_EQ(std::count_if(m_log.begin(), m_log.end(), [](const tDelivery& d) { return d.target == "self"; }), 1);
}

TEST_F(EventTimerManagerTest, DestroyingTheManagerStopsItsTimerAndUnregistersIt)
{
    Subscriber target("t", m_log, m_tick);
    EXPECT_EQ(EventTimerManager::getSingleton(), &m_manager);
    int installs = 0, deinstalls = 0;
    {
        EventTimerManager other(
            [&](EventTimerManager& manager) { return std::make_unique<FakeBridge>(manager, &installs, &deinstalls); });
        EXPECT_EQ(EventTimerManager::getSingleton(), &other);
        EXPECT_NE(target.setEventTimer(40, 0), nullptr);
        EXPECT_EQ(installs, 1);
    }
    EXPECT_EQ(deinstalls, 1);
    EXPECT_EQ(EventTimerManager::getSingleton(), nullptr);
    EXPECT_EQ(target.setEventTimer(40, 0), nullptr);  // no service: no subscription
    target.killEventTimer(nullptr);
}

}  // namespace
