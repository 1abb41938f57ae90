#include "QVTest/BlockedThread.h"

#include <mach/mach.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A thread that waits on the semaphore once, records the result and then runs its follow-up.
class WaitingThread {
public:
    WaitingThread(semaphore_t semaphore, std::function<void(kern_return_t)> then = {})
        : m_thread([this, semaphore, then] {
              m_tid = gettid();
              const kern_return_t result = semaphore_wait(semaphore);
              if (then)
                  then(result);
              m_result = result;
              m_done = true;
          })
    {}
    ~WaitingThread() { m_thread.join(); }

    // Waits until the thread sleeps inside semaphore_wait.
    bool waitUntilQueued() const
    {
        while (m_tid == 0)
            std::this_thread::yield();
        return QV::TEST::waitUntilSleeping(m_tid);
    }
    bool waitUntilDone() const
    {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!m_done && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        return m_done;
    }
    bool done() const { return m_done; }
    kern_return_t result() const { return m_result; }

private:
    std::atomic<pid_t> m_tid{0};
    std::atomic<kern_return_t> m_result{KERN_FAILURE};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// A semaphore of value 0 and the threads waiting on it. Tear-down destroys the semaphore before it
// joins the threads, so a failed test releases its waiters instead of hanging.
class MachSemaphore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(semaphore_create(mach_task_self(), &m_semaphore, SYNC_POLICY_FIFO, 0), KERN_SUCCESS);
    }
    void TearDown() override
    {
        if (m_semaphore != SEMAPHORE_NULL) {
            EXPECT_EQ(semaphore_destroy(mach_task_self(), m_semaphore), KERN_SUCCESS);
        }
        m_waiters.clear();
    }

    WaitingThread& startWaiter(std::function<void(kern_return_t)> then = {})
    {
        m_waiters.push_back(std::make_unique<WaitingThread>(m_semaphore, std::move(then)));
        return *m_waiters.back();
    }

    semaphore_t m_semaphore = SEMAPHORE_NULL;
    std::vector<std::unique_ptr<WaitingThread>> m_waiters;
};

TEST(MachSemaphoreCreate, RefusesBadArguments)
{
    struct Case {
        bool withOut;
        int policy;
        int value;
        kern_return_t expected;
    } cases[] = {
        {true, SYNC_POLICY_FIFO, 0, KERN_SUCCESS},
        {true, SYNC_POLICY_FIFO, 3, KERN_SUCCESS},
        {false, SYNC_POLICY_FIFO, 0, KERN_INVALID_ARGUMENT},  // no place for the result
        {true, 1, 0, KERN_INVALID_ARGUMENT},                  // a policy the stand-in lacks
        {true, SYNC_POLICY_FIFO, -1, KERN_INVALID_ARGUMENT},
    };
    for (const Case& c : cases) {
        semaphore_t semaphore = SEMAPHORE_NULL;
        EXPECT_EQ(semaphore_create(mach_task_self(), c.withOut ? &semaphore : nullptr, c.policy, c.value), c.expected)
            << c.policy << " " << c.value;
        EXPECT_EQ(semaphore != SEMAPHORE_NULL, c.expected == KERN_SUCCESS);
        if (semaphore != SEMAPHORE_NULL) {
            EXPECT_EQ(semaphore_destroy(mach_task_self(), semaphore), KERN_SUCCESS);
        }
    }
    EXPECT_EQ(semaphore_destroy(mach_task_self(), SEMAPHORE_NULL), KERN_INVALID_ARGUMENT);
    EXPECT_EQ(semaphore_signal(SEMAPHORE_NULL), KERN_INVALID_ARGUMENT);
    EXPECT_EQ(semaphore_wait(SEMAPHORE_NULL), KERN_INVALID_ARGUMENT);
}

TEST_F(MachSemaphore, InitialValueIsTakenWithoutBlocking)
{
    semaphore_t semaphore = SEMAPHORE_NULL;
    ASSERT_EQ(semaphore_create(mach_task_self(), &semaphore, SYNC_POLICY_FIFO, 2), KERN_SUCCESS);
    std::swap(semaphore, m_semaphore);
    ASSERT_EQ(semaphore_destroy(mach_task_self(), semaphore), KERN_SUCCESS);
    EXPECT_EQ(semaphore_wait(m_semaphore), KERN_SUCCESS);
    EXPECT_EQ(semaphore_wait(m_semaphore), KERN_SUCCESS);
    WaitingThread& third = startWaiter();
    ASSERT_TRUE(third.waitUntilQueued());
    EXPECT_FALSE(third.done());
    EXPECT_EQ(semaphore_signal(m_semaphore), KERN_SUCCESS);
    ASSERT_TRUE(third.waitUntilDone());
    EXPECT_EQ(third.result(), KERN_SUCCESS);
}

TEST_F(MachSemaphore, SignalsWithoutWaitersAreCounted)
{
    EXPECT_EQ(semaphore_signal(m_semaphore), KERN_SUCCESS);
    EXPECT_EQ(semaphore_signal(m_semaphore), KERN_SUCCESS);
    EXPECT_EQ(semaphore_wait(m_semaphore), KERN_SUCCESS);
    EXPECT_EQ(semaphore_wait(m_semaphore), KERN_SUCCESS);
    WaitingThread& third = startWaiter();
    ASSERT_TRUE(third.waitUntilQueued());
    EXPECT_FALSE(third.done());
    EXPECT_EQ(semaphore_signal(m_semaphore), KERN_SUCCESS);
    EXPECT_TRUE(third.waitUntilDone());
}

TEST_F(MachSemaphore, HandsOverInTheOrderOfWaiting)
{
    constexpr int kWaiters = 5;
    for (int i = 0; i < kWaiters; ++i)
        ASSERT_TRUE(startWaiter().waitUntilQueued()) << i;
    for (int i = 0; i < kWaiters; ++i) {
        ASSERT_EQ(semaphore_signal(m_semaphore), KERN_SUCCESS);
        ASSERT_TRUE(m_waiters[i]->waitUntilDone()) << "waiter " << i << " was skipped";
        for (int later = i + 1; later < kWaiters; ++later)
            EXPECT_FALSE(m_waiters[later]->done()) << "waiter " << later << " overtook waiter " << i;
    }
}

TEST_F(MachSemaphore, ASignalGoesToTheWaiterNotToALaterArrival)
{
    // The signalling thread waits right after its signal: with a counted unit it could take the
    // unit back before the queued thread ran. The queued thread signals in turn once it is through.
    std::atomic<bool> queuedThreadThrough{false};
    WaitingThread& queued = startWaiter([&](kern_return_t result) {
        if (result != KERN_SUCCESS)
            return;
        queuedThreadThrough = true;
        semaphore_signal(m_semaphore);
    });
    ASSERT_TRUE(queued.waitUntilQueued());
    EXPECT_EQ(semaphore_signal(m_semaphore), KERN_SUCCESS);
    EXPECT_EQ(semaphore_wait(m_semaphore), KERN_SUCCESS);
    EXPECT_TRUE(queuedThreadThrough);
    EXPECT_TRUE(queued.waitUntilDone());
}

TEST_F(MachSemaphore, DestroyWakesWaitersWithTerminated)
{
    WaitingThread& first = startWaiter();
    ASSERT_TRUE(first.waitUntilQueued());
    WaitingThread& second = startWaiter();
    ASSERT_TRUE(second.waitUntilQueued());
    EXPECT_EQ(semaphore_destroy(mach_task_self(), m_semaphore), KERN_SUCCESS);
    m_semaphore = SEMAPHORE_NULL;
    EXPECT_TRUE(first.waitUntilDone());
    EXPECT_TRUE(second.waitUntilDone());
    EXPECT_EQ(first.result(), KERN_TERMINATED);
    EXPECT_EQ(second.result(), KERN_TERMINATED);
}

}  // namespace
