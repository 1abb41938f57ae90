// NSTimer on the main run loop: when it fires, what it holds, how it ends, and that its fire is a
// message send that run-time subclasses override.
#include "FoundationTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;
using objc::msgSend;
using qvcompat::test::makeRecorder;
using qvcompat::test::retainCount;
using qvcompat::test::runMainLoopFor;
using qvcompat::test::runMainLoopUntil;
using qvcompat::test::tLog;

id makeTimer(double seconds, id target, const char* selector, bool repeats, id userInfo = nil)
{
    return msgSend<id, double, id, SEL, id, BOOL>(qvcompat::foundation::NSTimerClass(),
                                                  objc::sel("timerWithTimeInterval:target:selector:userInfo:repeats:"),
                                                  seconds, target, objc::sel(selector), userInfo, repeats ? YES : NO);
}

void schedule(id timer, id runLoop = nil, NSRunLoopMode mode = NSRunLoopCommonModes)
{
    if (!runLoop)
        runLoop = msgSend<id>(qvcompat::foundation::NSRunLoopClass(), objc::sel("mainRunLoop"));
    msgSend<void, id, NSString*>(runLoop, objc::sel("addTimer:forMode:"), timer, mode);
}

bool isValid(id timer) { return msgSend<BOOL>(timer, objc::sel("isValid")) == YES; }

// Each test owns an autorelease pool (the timers are made autoreleased) and a recorder as target.
class NSTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pool = objc_autoreleasePoolPush();
        m_target = makeRecorder(&m_log);
    }
    void TearDown() override
    {
        objc_autoreleasePoolPop(m_pool);
        objc_release(m_target);
    }

    void* m_pool = nullptr;
    tLog m_log;
    id m_target = nil;
};

TEST_F(NSTimerTest, OneShotFiresOnceAfterItsIntervalThenLetsGoOfItsTarget)
{
    const auto made = std::chrono::steady_clock::now();
    id timer = objc_retain(makeTimer(0.04, m_target, "note:", false));
    schedule(timer);
    EXPECT_EQ(retainCount(m_target), 2u);  // the timer holds its target
    const unsigned long scheduled = retainCount(timer);

    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 1; }));
    runMainLoopFor(100ms);

    ASSERT_EQ(m_log.size(), 1u);
    const auto& fire = m_log.received[0];
    EXPECT_EQ(fire.selector, "note:");
    EXPECT_EQ(fire.argument, timer);
    EXPECT_TRUE(fire.onMainThread);
    EXPECT_GE(fire.when - made, 40ms);
    EXPECT_FALSE(isValid(timer));
    EXPECT_EQ(retainCount(m_target), 1u);
    EXPECT_EQ(retainCount(timer), scheduled - 1);  // the run loop let go
    objc_release(timer);
}

TEST_F(NSTimerTest, RepeatingTimerKeepsItsPaceUntilInvalidatedFromItsOwnFire)
{
    const auto made = std::chrono::steady_clock::now();
    id timer = makeTimer(0.03, m_target, "note:", true);
    m_log.onReceive = [&](id, id firing) {
        if (m_log.size() == 3)
            msgSend<void>(firing, objc::sel("invalidate"));
    };
    schedule(timer);
    EXPECT_DOUBLE_EQ(msgSend<double>(timer, objc::sel("timeInterval")), 0.03);

    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 3; }));
    runMainLoopFor(120ms);

    ASSERT_EQ(m_log.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_GE(m_log.received[i].when - made, 30ms * (i + 1)) << "fire " << i;
    EXPECT_EQ(retainCount(m_target), 1u);
}

TEST_F(NSTimerTest, InvalidatedBeforeItsFireNeverFires)
{
    id userInfo = makeRecorder(&m_log);
    id timer = makeTimer(0.02, m_target, "note:", false, userInfo);
    schedule(timer);
    EXPECT_EQ(msgSend<id>(timer, objc::sel("userInfo")), userInfo);
    EXPECT_EQ(retainCount(userInfo), 2u);

    msgSend<void>(timer, objc::sel("invalidate"));
    msgSend<void>(timer, objc::sel("invalidate"));  // a second time changes nothing

    EXPECT_EQ(retainCount(m_target), 1u);
    EXPECT_EQ(retainCount(userInfo), 1u);
    runMainLoopFor(80ms);
    EXPECT_EQ(m_log.size(), 0u);
    objc_release(userInfo);
}

TEST_F(NSTimerTest, AddingTwiceOrAfterInvalidationSchedulesNothingMore)
{
    id twice = makeTimer(0.01, m_target, "note:", false);
    schedule(twice);
    schedule(twice, nil, NSDefaultRunLoopMode);
    id invalid = makeTimer(0.01, m_target, "other:", false);
    msgSend<void>(invalid, objc::sel("invalidate"));
    schedule(invalid);

    runMainLoopFor(80ms);
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_EQ(m_log.received[0].selector, "note:");
}

TEST_F(NSTimerTest, ZeroIntervalFiresAtTheNextIteration)
{
    id timer = makeTimer(0, m_target, "note:", false);
    EXPECT_DOUBLE_EQ(msgSend<double>(timer, objc::sel("timeInterval")), 0.0);  // one-shot
    schedule(timer);
    EXPECT_TRUE(runMainLoopUntil([&] { return m_log.size() == 1; }, 1000ms));
}

TEST_F(NSTimerTest, TimerAddedFromAnotherThreadFiresOnTheMainThread)
{
    std::thread worker([&] {
        void* pool = objc_autoreleasePoolPush();
        schedule(makeTimer(0.01, m_target, "note:", false));
        objc_autoreleasePoolPop(pool);
    });
    worker.join();
    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 1; }));
    EXPECT_TRUE(m_log.received[0].onMainThread);
}

// ---- the fire reaches overrides made at run time ----

std::vector<std::string>* g_calls = nullptr;

void baseTick(id, SEL, id) { g_calls->push_back("base"); }
void derivedTick(id self, SEL op, id timer)
{
    g_calls->push_back("derived");
    objc_super up{self, class_getSuperclass(object_getClass(self))};
    objc::msgSendSuper<void, id>(&up, op, timer);
}
int g_timerDeallocs = 0;
void countingTimerDealloc(id self, SEL op)
{
    ++g_timerDeallocs;
    objc_super up{self, qvcompat::foundation::NSTimerClass()};
    objc::msgSendSuper<void>(&up, op);
}

struct tClasses {
    Class derived;     // of a base whose tick: it overrides
    Class timerClass;  // the program's own timer class
};

const tClasses& classes()
{
    static const tClasses s_classes = [] {
        Class base = objc_allocateClassPair(objc_getClass("NSObject"), "QVTestTickBase", 0);
        objc::addMethod(base, objc::sel("tick:"), &baseTick, "v@:@");
        objc_registerClassPair(base);
        Class derived = objc_allocateClassPair(base, "QVTestTickDerived", 0);
        objc::addMethod(derived, objc::sel("tick:"), &derivedTick, "v@:@");
        objc_registerClassPair(derived);
        Class timerClass = objc_allocateClassPair(qvcompat::foundation::NSTimerClass(), "QVTestTimer", 0);
        objc::addMethod(timerClass, objc::sel("dealloc"), &countingTimerDealloc, "v@:");
        objc_registerClassPair(timerClass);
        return tClasses{derived, timerClass};
    }();
    return s_classes;
}

TEST(NSTimerOverrides, FireIsASendThatReachesTheRunTimeSubclass)
{
    std::vector<std::string> calls;
    g_calls = &calls;
    g_timerDeallocs = 0;
    const Class derived = classes().derived;
    const Class timerClass = classes().timerClass;

    void* pool = objc_autoreleasePoolPush();
    id target = msgSend<id>(derived, objc::sel("new"));
    id timer = msgSend<id, double, id, SEL, id, BOOL>(
        timerClass, objc::sel("timerWithTimeInterval:target:selector:userInfo:repeats:"), 0.01, target,
        objc::sel("tick:"), nil, NO);
    EXPECT_EQ(object_getClass(timer), timerClass);
    schedule(timer);
    objc_autoreleasePoolPop(pool);  // from now on only the run loop holds the timer

    EXPECT_TRUE(runMainLoopUntil([&] { return g_timerDeallocs == 1; }));
    EXPECT_EQ(calls, (std::vector<std::string>{"derived", "base"}));
    objc_release(target);
    g_calls = nullptr;
}

}  // namespace
