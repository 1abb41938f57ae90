// Run loops over GLib contexts, and the NSObject messages that perform later or on the main thread.
#include "FoundationTestSupport.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;
using objc::msgSend;
using qvcompat::test::makeRecorder;
using qvcompat::test::retainCount;
using qvcompat::test::runMainLoopFor;
using qvcompat::test::runMainLoopUntil;
using qvcompat::test::tLog;

id currentRunLoop() { return msgSend<id>(qvcompat::foundation::NSRunLoopClass(), objc::sel("currentRunLoop")); }
id mainRunLoop() { return msgSend<id>(qvcompat::foundation::NSRunLoopClass(), objc::sel("mainRunLoop")); }

void performOnMainThread(id receiver, const char* selector, id argument, bool wait)
{
    msgSend<void, SEL, id, BOOL>(receiver, objc::sel("performSelectorOnMainThread:withObject:waitUntilDone:"),
                                 objc::sel(selector), argument, wait ? YES : NO);
}

void performAfterDelay(id receiver, const char* selector, id argument, double delay)
{
    msgSend<void, SEL, id, double>(receiver, objc::sel("performSelector:withObject:afterDelay:"), objc::sel(selector),
                                   argument, delay);
}

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override { m_recorder = makeRecorder(&m_log); }
    void TearDown() override
    {
        runMainLoopFor(0ms);
        objc_release(m_recorder);
    }

    tLog m_log;
    id m_recorder = nil;
};

TEST_F(RunLoopTest, TheMainThreadsRunLoopIsGLibsDefaultContext)
{
    EXPECT_EQ(currentRunLoop(), mainRunLoop());
    EXPECT_EQ(qvcompat::foundation::runLoopContext(mainRunLoop()), g_main_context_default());
    EXPECT_TRUE(qvcompat::test::hasText(NSRunLoopCommonModes, "kCFRunLoopCommonModes"));
    EXPECT_TRUE(qvcompat::test::hasText(NSDefaultRunLoopMode, "kCFRunLoopDefaultMode"));
}

TEST_F(RunLoopTest, AThreadWithItsOwnContextHasItsOwnRunLoopWhoseTimersItRuns)
{
    std::atomic<bool> fired{false};
    bool firedOnWorker = false;
    m_log.onReceive = [&](id, id) { fired = true; };
    std::thread worker([&] {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        void* pool = objc_autoreleasePoolPush();
        id runLoop = currentRunLoop();
        EXPECT_NE(runLoop, mainRunLoop());
        EXPECT_EQ(qvcompat::foundation::runLoopContext(runLoop), context);
        id timer = msgSend<id, double, id, SEL, id, BOOL>(
            qvcompat::foundation::NSTimerClass(), objc::sel("timerWithTimeInterval:target:selector:userInfo:repeats:"),
            0.01, m_recorder, objc::sel("note:"), nil, NO);
        msgSend<void, id, NSString*>(runLoop, objc::sel("addTimer:forMode:"), timer, NSDefaultRunLoopMode);
        objc_autoreleasePoolPop(pool);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!fired && std::chrono::steady_clock::now() < deadline)
            g_main_context_iteration(context, TRUE);
        firedOnWorker = fired && !m_log.received[0].onMainThread;
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    });
    worker.join();
    EXPECT_TRUE(firedOnWorker);
}

TEST_F(RunLoopTest, PerformOnMainThreadWithoutWaitingRunsLaterOnTheMainThreadAndHoldsBothObjects)
{
    id argument = makeRecorder(&m_log);
    std::thread worker([&] { performOnMainThread(m_recorder, "note:", argument, false); });
    worker.join();
    EXPECT_EQ(m_log.size(), 0u);
    objc_release(argument);  // the pending perform keeps it
    EXPECT_EQ(retainCount(argument), 1u);

    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 1; }));
    EXPECT_TRUE(m_log.received[0].onMainThread);
    EXPECT_EQ(m_log.received[0].argument, argument);
    EXPECT_EQ(retainCount(m_recorder), 1u);
}

TEST_F(RunLoopTest, PerformOnMainThreadFromTheMainThreadWaitsOnlyWhenAsked)
{
    performOnMainThread(m_recorder, "note:", nil, true);
    EXPECT_EQ(m_log.size(), 1u);  // at once
    performOnMainThread(m_recorder, "other:", nil, false);
    EXPECT_EQ(m_log.size(), 1u);  // queued
    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 2; }));
    EXPECT_EQ(m_log.received[1].selector, "other:");
}

TEST_F(RunLoopTest, PerformOnMainThreadWaitingBlocksTheCallerUntilTheMainLoopRanIt)
{
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        performOnMainThread(m_recorder, "note:", nil, true);
        returned = true;
    });
    std::this_thread::sleep_for(50ms);  // nobody iterates the main context meanwhile
    EXPECT_FALSE(returned);
    EXPECT_TRUE(runMainLoopUntil([&] { return returned.load(); }));
    worker.join();
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_TRUE(m_log.received[0].onMainThread);
}

TEST_F(RunLoopTest, DelayedPerformsRunAfterTheirDelayInOrder)
{
    const auto asked = std::chrono::steady_clock::now();
    performAfterDelay(m_recorder, "note:", nil, 0.03);
    performAfterDelay(m_recorder, "other:", nil, 0.03);
    performAfterDelay(m_recorder, "note:", m_recorder, 0);
    EXPECT_EQ(m_log.size(), 0u);  // never at once, not even for a delay of 0

    ASSERT_TRUE(runMainLoopUntil([&] { return m_log.size() == 3; }));
    EXPECT_EQ(m_log.received[0].argument, m_recorder);
    EXPECT_EQ(m_log.received[1].selector, "note:");
    EXPECT_EQ(m_log.received[2].selector, "other:");
    EXPECT_GE(m_log.received[1].when - asked, 30ms);
    EXPECT_EQ(retainCount(m_recorder), 1u);
}

}  // namespace
