// The cross-thread channel: posts from other threads reach their target on the main thread when the
// main run loop runs; unknown handles, stopped channels and empty notifications deliver nothing; the
// object a poster hands over is released.
#include "UIA/AsyncEventTargetImpl.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"

#include <Foundation/Foundation.h>
#include <glib.h>
#include "QVTest/MainLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using QV::TEST::runMainLoopUntil;

using namespace QV::UIA;
using namespace std::chrono_literals;
using objc::msgSend;

// Records the codes it receives and the thread they arrive on.
class ThreadRecorder : public EventTarget {
public:
    bool onEvent(unsigned code, EventData*) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_codes.push_back(code);
        m_onMainThread.push_back(msgSend<BOOL>(objc_getClass("NSThread"), objc::sel("isMainThread")) == YES);
        return code != 13;  // 13: not handled
    }
    size_t count()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_codes.size();
    }

    std::mutex m_lock;
    std::vector<unsigned> m_codes;
    std::vector<bool> m_onMainThread;
};

void runMainLoopBriefly()
{
    const auto end = std::chrono::steady_clock::now() + 30ms;
    runMainLoopUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

void postFromWorker(unsigned code, unsigned handle)
{
    std::thread worker([&] { EXPECT_TRUE(AsyncEventTargetImpl::postEvent(code, handle)); });
    worker.join();
}

class AsyncEventTargetImplTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AsyncEventTargetImpl::init(false));
        m_handle = AsyncEventTargetImpl::registerTarget(&m_target);
    }
    void TearDown() override
    {
        AsyncEventTargetImpl::unregisterTarget(m_handle);
        AsyncEventTargetImpl::deInit();
        runMainLoopBriefly();  // pending hops run and release their objects
    }

    ThreadRecorder m_target;
    unsigned m_handle = 0;
};

TEST_F(AsyncEventTargetImplTest, APostFromAnotherThreadArrivesOnTheMainThreadWhenTheLoopRuns)
{
    postFromWorker(7, m_handle);
    postFromWorker(8, m_handle);
    EXPECT_EQ(m_target.count(), 0u);  // nothing before the main loop runs

    ASSERT_TRUE(runMainLoopUntil([&] { return m_target.count() == 2; }));
    EXPECT_EQ(m_target.m_codes, (std::vector<unsigned>{7, 8}));
    EXPECT_EQ(m_target.m_onMainThread, (std::vector<bool>{true, true}));
}

TEST_F(AsyncEventTargetImplTest, APostOnTheMainThreadIsDeliveredAtOnce)
{
    EXPECT_TRUE(AsyncEventTargetImpl::postEvent(5, m_handle));
    EXPECT_EQ(m_target.m_codes, std::vector<unsigned>{5});
}

TEST_F(AsyncEventTargetImplTest, DispatchAnswersWhatTheTargetAnswersAndFalseForUnknownHandles)
{
    EXPECT_TRUE(AsyncEventTargetImpl::dispatchEvent(12, m_handle));
    EXPECT_FALSE(AsyncEventTargetImpl::dispatchEvent(13, m_handle));
    EXPECT_FALSE(AsyncEventTargetImpl::dispatchEvent(12, m_handle + 1000));
    EXPECT_FALSE(AsyncEventTargetImpl::dispatchEvent(12, 0));
    EXPECT_EQ(m_target.m_codes, (std::vector<unsigned>{12, 13}));
}

TEST_F(AsyncEventTargetImplTest, HandlesAreNewForEveryRegistration)
{
    const unsigned again = AsyncEventTargetImpl::registerTarget(&m_target);
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, m_handle);
    AsyncEventTargetImpl::unregisterTarget(again);
    EXPECT_EQ(AsyncEventTargetImpl::registerTarget(nullptr), 0u);
}

TEST_F(AsyncEventTargetImplTest, NothingArrivesForATargetUnregisteredOrDestroyedBeforeTheHop)
{
    auto doomed = std::make_unique<ThreadRecorder>();
    const unsigned doomedHandle = AsyncEventTargetImpl::registerTarget(doomed.get());
    postFromWorker(1, m_handle);
    postFromWorker(2, doomedHandle);
    doomed.reset();  // forgets its handle
    AsyncEventTargetImpl::unregisterTarget(m_handle);

    runMainLoopBriefly();
    EXPECT_EQ(m_target.count(), 0u);
}

TEST_F(AsyncEventTargetImplTest, TheChannelsNotificationsCarryTheMakersClassNames)
{
    EXPECT_EQ(AsyncEventTargetImpl::getNotificationName(), "ComOrvendalAsyncNotificationDispatcherNotification");
    Class notificationClass = objc_getClass("ComOrvendalAsyncNotification");
    ASSERT_NE(notificationClass, nullptr);
    EXPECT_TRUE(class_respondsToSelector(notificationClass, objc::sel("initWithCode:andDest:")));
}

// A poster of its own, as the program's other threads would write one: the object it makes is handed
// over to the dispatcher, which releases it after the delivery.
TEST_F(AsyncEventTargetImplTest, TheDispatcherReleasesTheObjectItWasHanded)
{
    void* pool = objc_autoreleasePoolPush();
    id object =
        msgSend<id, uint32_t, uint32_t>(msgSend<id>(objc_getClass("ComOrvendalAsyncNotification"), objc::sel("alloc")),
                                        objc::sel("initWithCode:andDest:"), 21, m_handle);
    objc_retain(object);  // the test's own reference, besides the one handed over
    id name = msgSend<id, const char*>(objc_getClass("NSString"), objc::sel("stringWithUTF8String:"),
                                       AsyncEventTargetImpl::getNotificationName().c_str());
    id center = msgSend<id>(objc_getClass("NSNotificationCenter"), objc::sel("defaultCenter"));
    std::thread worker([&] {
        void* workerPool = objc_autoreleasePoolPush();
        msgSend<void, id, id>(center, objc::sel("postNotificationName:object:"), name, object);
        objc_autoreleasePoolPop(workerPool);
    });
    worker.join();
    ASSERT_TRUE(runMainLoopUntil([&] { return m_target.count() == 1; }));
    EXPECT_EQ(m_target.m_codes[0], 21u);
    EXPECT_EQ(msgSend<NSUInteger>(object, objc::sel("retainCount")), 1u);
    objc_release(object);

    // An empty notification under the same name is ignored.
    msgSend<void, id, id>(center, objc::sel("postNotificationName:object:"), name, nil);
    runMainLoopBriefly();
    EXPECT_EQ(m_target.count(), 1u);
    objc_autoreleasePoolPop(pool);
}

TEST(AsyncEventTargetImplStopped, PostsNothingAndForgetsItsName)
{
    ThreadRecorder target;
    const unsigned handle = AsyncEventTargetImpl::registerTarget(&target);
    EXPECT_TRUE(AsyncEventTargetImpl::init(true));  // the platform part off: still stopped
    EXPECT_FALSE(AsyncEventTargetImpl::postEvent(3, handle));
    EXPECT_EQ(AsyncEventTargetImpl::getNotificationName(), "");

    ASSERT_TRUE(AsyncEventTargetImpl::init(false));
    AsyncEventTargetImpl::deInit();
    EXPECT_FALSE(AsyncEventTargetImpl::postEvent(3, handle));
    runMainLoopBriefly();
    EXPECT_EQ(target.count(), 0u);
    EXPECT_TRUE(AsyncEventTargetImpl::dispatchEvent(4, handle));  // direct dispatch needs no channel
    AsyncEventTargetImpl::unregisterTarget(handle);
}

}  // namespace
