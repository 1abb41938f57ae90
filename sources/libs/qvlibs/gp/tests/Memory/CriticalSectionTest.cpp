#include "QVTest/BlockedThread.h"

#include "GP/CriticalSection.h"
#include "GP/RegularAllocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using QV::GP::CriticalSection;

// A thread that enters the lock once, runs its body while holding it and leaves.
class Contender {
public:
    Contender(CriticalSection& lock, std::function<void()> body = {})
        : m_thread([this, &lock, body] {
              m_tid = gettid();
              lock.enter();
              m_bInside = true;
              if (body)
                  body();
              lock.leave();
              m_bDone = true;
          })
    {}
    ~Contender() { m_thread.join(); }

    // Waits until the thread sleeps inside enter.
    bool waitUntilWaiting() const
    {
        while (m_tid == 0)
            std::this_thread::yield();
        return QV::TEST::waitUntilSleeping(m_tid);
    }
    bool waitUntilDone() const
    {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!m_bDone && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        return m_bDone;
    }
    bool hasEntered() const { return m_bInside; }

private:
    std::atomic<pid_t> m_tid{0};
    std::atomic<bool> m_bInside{false};
    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};

// The lock objects' pool and one pooled lock, as the owners of locks use them.
class PooledLock : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CriticalSection::staticInit());
        m_pLock = CriticalSection::create();
        ASSERT_NE(m_pLock, nullptr);
    }
    void TearDown() override
    {
        // A failed test may still hold the lock: let waiting contenders through before joining.
        while (m_pLock->isOwnedByCurrentThread())
            m_pLock->leave();
        m_contenders.clear();
        CriticalSection::destroy(m_pLock);
        CriticalSection::staticDeInit();
    }

    Contender& startContender(std::function<void()> body = {})
    {
        m_contenders.push_back(std::make_unique<Contender>(*m_pLock, std::move(body)));
        return *m_contenders.back();
    }

    CriticalSection* m_pLock = nullptr;
    std::vector<std::unique_ptr<Contender>> m_contenders;
};

TEST_F(PooledLock, IsAnItemOfTheLockPool)
{
    EXPECT_TRUE(m_pLock->isCreated());
    EXPECT_EQ(CriticalSection::s_heap.getPacketCount(), 1u);
    CriticalSection::destroy(nullptr);  // ignored
}

TEST_F(PooledLock, IsFreedAtTheLastOfThreeLeaves)
{
    m_pLock->enter();
    m_pLock->enter();
    m_pLock->enter();
    EXPECT_TRUE(m_pLock->isOwnedByCurrentThread());

    Contender& second = startContender();
    ASSERT_TRUE(second.waitUntilWaiting());
    for (int leave = 1; leave <= 2; ++leave) {
        m_pLock->leave();
        std::this_thread::sleep_for(20ms);  // time for a wrongly released contender to get in
        EXPECT_FALSE(second.hasEntered()) << "the lock was handed over after " << leave << " of 3 leaves";
        EXPECT_TRUE(m_pLock->isOwnedByCurrentThread());
    }
    m_pLock->leave();
    EXPECT_FALSE(m_pLock->isOwnedByCurrentThread());
    EXPECT_TRUE(second.waitUntilDone());
}

TEST_F(PooledLock, TheOwnerReentersWhileOthersWait)
{
    m_pLock->enter();
    Contender& other = startContender();
    ASSERT_TRUE(other.waitUntilWaiting());
    m_pLock->enter();  // must not queue behind the waiting thread
    m_pLock->leave();
    EXPECT_FALSE(other.hasEntered());
    m_pLock->leave();
    EXPECT_TRUE(other.waitUntilDone());
}

TEST_F(PooledLock, HandsOverInTheOrderOfWaiting)
{
    constexpr int kContenders = 4;
    std::mutex orderMutex;
    std::vector<int> order;
    m_pLock->enter();
    for (int i = 0; i < kContenders; ++i) {
        Contender& contender = startContender([&orderMutex, &order, i] {
            std::lock_guard<std::mutex> guard(orderMutex);
            order.push_back(i);
        });
        ASSERT_TRUE(contender.waitUntilWaiting()) << i;
    }
    m_pLock->leave();
    for (auto& contender : m_contenders)
        ASSERT_TRUE(contender->waitUntilDone());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(PooledLock, KeepsThreadsApartUnderStress)
{
    constexpr int kThreads = 8;
    constexpr int kRounds = 5000;
    long counter = 0;  // deliberately unsynchronised apart from the lock
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                CriticalSection::Guard outer(*m_pLock);
                CriticalSection::Guard inner(*m_pLock);
                if (inside.fetch_add(1) != 0)
                    ++overlaps;
                if (!m_pLock->isOwnedByCurrentThread())
                    ++overlaps;
                ++counter;
                inside.fetch_sub(1);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(counter, long(kThreads) * kRounds);
}

TEST(StaticLock, NeedsNoPoolAndCanBeMadeAgain)
{
    CriticalSection lock;
    EXPECT_FALSE(lock.isCreated());
    ASSERT_TRUE(lock.init());
    EXPECT_TRUE(lock.init()) << "a second init keeps the lock";
    lock.enter();
    EXPECT_TRUE(lock.isOwnedByCurrentThread());
    lock.leave();
    lock.deInit();
    EXPECT_FALSE(lock.isCreated());
    ASSERT_TRUE(lock.init());
    CriticalSection::Guard guard(lock);
    EXPECT_TRUE(lock.isOwnedByCurrentThread());
}

TEST(CriticalSectionStaticInit, CreatingALockWithoutThePoolFails)
{
    EXPECT_FALSE(CriticalSection::s_heap.isSetUp());
    EXPECT_THROW(CriticalSection::create(), std::bad_alloc);
}

}  // namespace
