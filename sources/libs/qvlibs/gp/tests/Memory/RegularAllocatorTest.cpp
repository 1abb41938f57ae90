#include "GP/CriticalSection.h"
#include "GP/RegularAllocator.h"
#include "GP/TURegularAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <future>
#include <new>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using QV::GP::CriticalSection;
using QV::GP::DA::RegularAllocator;
using QV::GP::DETAIL::RegularAllocatorBase;
using QV::GP::DETAIL::TURegularAllocator;

constexpr size_t kHeader = RegularAllocatorBase::kPacketHeaderSize;
constexpr size_t kSlot = 40;  // a 32-byte item behind its 8-byte header

size_t packetBytes(size_t items) { return kHeader + items * kSlot; }

// A pool that records every packet it asks for and can be told to get none.
class RecordingAllocator : public TURegularAllocator {
public:
    enum class eFailure {
        eNone,
        eNull,
        eBadAlloc,
        eOther
    };

    void* allocatePacket(size_t bytes) override
    {
        switch (m_failure) {
        case eFailure::eNull: return nullptr;
        case eFailure::eBadAlloc: throw std::bad_alloc();
        case eFailure::eOther: throw std::runtime_error("packet source broken");
        case eFailure::eNone: break;
        }
        m_requested.push_back(bytes);
        return TURegularAllocator::allocatePacket(bytes);
    }
    void deallocatePacket(void* packet) override
    {
        ++m_released;
        TURegularAllocator::deallocatePacket(packet);
    }
    ~RecordingAllocator() override { tearDown(); }

    eFailure m_failure = eFailure::eNone;
    std::vector<size_t> m_requested;
    size_t m_released = 0;
};

// The lock objects' pool, set up as the library start does it.
class LockPool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CriticalSection::staticInit()); }
    void TearDown() override { CriticalSection::staticDeInit(); }

    static RegularAllocator& pool() { return CriticalSection::s_heap; }

    std::vector<CriticalSection*> createLocks(size_t count)
    {
        std::vector<CriticalSection*> locks;
        for (size_t i = 0; i < count; ++i) {
            locks.push_back(CriticalSection::create());
            EXPECT_NE(locks.back(), nullptr);
        }
        return locks;
    }
    static void destroyLocks(std::vector<CriticalSection*>& locks, size_t from, size_t to)
    {
        for (size_t i = from; i < to; ++i)
            CriticalSection::destroy(locks[i]);
    }
};

TEST_F(LockPool, IsConfiguredWithItsFirstPacket)
{
    EXPECT_TRUE(pool().isSetUp());
    EXPECT_EQ(pool().getItemSize(), 32u);
    EXPECT_EQ(pool().getSlotSize(), kSlot);
    EXPECT_EQ(pool().getPacketItemLimit(), 512u);
    EXPECT_EQ(pool().getPacketCount(), 1u);
    EXPECT_EQ(pool().getHeldBytes(), packetBytes(40));
    EXPECT_EQ(pool().getNextPacketItems(), 80u);
}

TEST_F(LockPool, The41stLockMakesAPacketOf80ThatGoesBackWhenItEmpties)
{
    std::vector<CriticalSection*> locks = createLocks(40);
    EXPECT_EQ(pool().getPacketCount(), 1u);

    std::vector<CriticalSection*> more = createLocks(80);
    EXPECT_EQ(pool().getPacketCount(), 2u);
    EXPECT_EQ(pool().getHeldBytes(), packetBytes(40) + packetBytes(80));
    EXPECT_EQ(pool().getNextPacketItems(), 160u);

    destroyLocks(more, 0, 79);
    EXPECT_EQ(pool().getPacketCount(), 2u) << "released while an item was still out";
    destroyLocks(more, 79, 80);
    EXPECT_EQ(pool().getPacketCount(), 1u);
    EXPECT_EQ(pool().getHeldBytes(), packetBytes(40));
    EXPECT_EQ(pool().getNextPacketItems(), 80u);

    more = createLocks(1);
    EXPECT_EQ(pool().getHeldBytes(), packetBytes(40) + packetBytes(80)) << "the next packet is again of 80";
    destroyLocks(more, 0, 1);
    destroyLocks(locks, 0, 40);
    EXPECT_EQ(pool().getPacketCount(), 1u) << "the first packet stays";
}

TEST(RegularAllocatorBase, PacketsGrowByDoublingUpToTheLimit)
{
    struct Case {
        size_t first;
        size_t limit;
        std::vector<size_t> packets;  // item counts of the packets made, in order
    } cases[] = {
        {40, 512, {40, 80, 160, 320, 512, 512}},  // the lock objects' pool
        {8192, 6710886, {8192, 16384, 32768}},    // the region pool
        {3, 5, {3, 5, 5}},
    };
    for (const Case& c : cases) {
        RecordingAllocator pool;
        pool.setUp(32, c.first, c.limit, 0);
        size_t total = 0;
        for (size_t count : c.packets)
            total += count;
        std::vector<void*> items;
        for (size_t i = 0; i < total; ++i)
            items.push_back(pool.allocate(32));
        std::vector<size_t> expected;
        for (size_t count : c.packets)
            expected.push_back(packetBytes(count));
        EXPECT_EQ(pool.m_requested, expected) << "first packet " << c.first;
        for (void* item : items)
            pool.deallocate(item);
    }
}

TEST(RegularAllocatorBase, HandsOutFromTheLastSlotTowardsTheFirst)
{
    RecordingAllocator pool;
    pool.setUp(32, 4, 8, 0);
    std::vector<char*> items;
    for (int i = 0; i < 4; ++i)
        items.push_back(static_cast<char*>(pool.allocate(32)));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(items[i - 1] - items[i], static_cast<ptrdiff_t>(kSlot)) << i;

    // A freed item is the next one out.
    pool.deallocate(items[2]);
    EXPECT_EQ(pool.allocate(32), items[2]);
    for (char* item : items)
        pool.deallocate(item);
}

TEST(RegularAllocatorBase, SlotsAreWrittenOnlyAsTheyAreTaken)
{
    // Packets as the source hands them over, in a pattern no link looks like.
    class PatternedPool : public RecordingAllocator {
    public:
        void* allocatePacket(size_t bytes) override
        {
            void* block = RecordingAllocator::allocatePacket(bytes);
            std::memset(block, 0xAB, bytes);
            return block;
        }
    };
    PatternedPool pool;
    pool.setUp(32, 4, 8, 0);
    auto* last = static_cast<char*>(pool.allocate(32));
    auto* third = static_cast<char*>(pool.allocate(32));
    pool.deallocate(last);
    // The two slots never handed out, headers included, are as the source left them.
    const auto* firstSlot = reinterpret_cast<const unsigned char*>(third - 2 * kSlot - 8);
    EXPECT_TRUE(std::all_of(firstSlot, firstSlot + 2 * kSlot, [](unsigned char byte) { return byte == 0xAB; }));

    // The freed item first, then the untouched slots down to the first, then a new packet.
    std::vector<char*> items{static_cast<char*>(pool.allocate(32)), static_cast<char*>(pool.allocate(32)),
                             static_cast<char*>(pool.allocate(32))};
    EXPECT_EQ(items, (std::vector<char*>{last, third - kSlot, third - 2 * kSlot}));
    EXPECT_EQ(pool.m_requested.size(), 1u);
    items.push_back(static_cast<char*>(pool.allocate(32)));
    EXPECT_EQ(pool.m_requested.size(), 2u);
    items.push_back(third);
    for (char* item : items)
        pool.deallocate(item);
}

TEST(RegularAllocatorBase, KeepsTheFirstPacketAndIgnoresNull)
{
    RecordingAllocator pool;
    pool.setUp(32, 4, 8, 0);
    void* item = pool.allocate(32);
    pool.deallocate(nullptr);
    pool.deallocate(item);
    EXPECT_EQ(pool.getPacketCount(), 1u);
    EXPECT_EQ(pool.m_released, 0u);
    EXPECT_EQ(pool.allocate(32), item) << "the empty first packet serves again";
    EXPECT_EQ(pool.m_requested.size(), 1u);
    pool.deallocate(item);

    pool.tearDown();
    EXPECT_EQ(pool.m_released, 1u);
    EXPECT_FALSE(pool.isSetUp());
    EXPECT_EQ(pool.getHeldBytes(), 0u);
}

TEST(RegularAllocatorBase, ItemsOfSeveralPacketsAreDisjointAndKeepTheirBytes)
{
    RecordingAllocator pool;
    pool.setUp(32, 2, 16, 0);
    std::mt19937 random(7);
    std::vector<std::pair<uint64_t*, uint64_t>> live;
    for (int step = 0; step < 5000; ++step) {
        if (live.empty() || random() % 3 != 0) {
            auto* item = static_cast<uint64_t*>(pool.allocate(32));
            const uint64_t stamp = random();
            std::fill(item, item + 4, stamp);
            live.emplace_back(item, stamp);
        } else {
            const size_t index = random() % live.size();
            auto [item, stamp] = live[index];
            ASSERT_TRUE(std::all_of(item, item + 4, [stamp = stamp](uint64_t word) { return word == stamp; }))
                << "an item was overwritten while in use";
            pool.deallocate(item);
            live.erase(live.begin() + static_cast<ptrdiff_t>(index));
        }
    }
    for (auto [item, stamp] : live) {
        EXPECT_TRUE(std::all_of(item, item + 4, [stamp = stamp](uint64_t word) { return word == stamp; }));
        pool.deallocate(item);
    }
    EXPECT_EQ(pool.getPacketCount(), 1u);
    EXPECT_EQ(pool.m_released, pool.m_requested.size() - 1);
}

TEST(RegularAllocatorBase, FlagsLimitAndAlign)
{
    RecordingAllocator single;
    single.setUp(32, 2, 8, RegularAllocatorBase::eFlagSinglePacket);
    void* first = single.allocate(32);
    void* second = single.allocate(32);
    EXPECT_THROW(single.allocate(32), std::bad_alloc);
    EXPECT_EQ(single.m_requested.size(), 1u);
    single.deallocate(first);
    single.deallocate(second);

    RecordingAllocator aligned;
    aligned.setUp(32, 5, 8, RegularAllocatorBase::eFlagAlignFirstItem);
    EXPECT_EQ(aligned.m_requested, std::vector<size_t>{packetBytes(5) + 24});
    std::vector<void*> items;
    for (int i = 0; i < 5; ++i)
        items.push_back(aligned.allocate(32));
    // Handed out from the end: the last one out is the packet's first item.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(items.back()) % 32, 0u);
    for (void* item : items)
        aligned.deallocate(item);
}

TEST(RegularAllocatorBase, APacketSourceFailureIsAnAllocationFailure)
{
    using eFailure = RecordingAllocator::eFailure;
    for (eFailure failure : {eFailure::eNull, eFailure::eBadAlloc}) {
        RecordingAllocator pool;
        pool.setUp(32, 1, 1, 0);
        void* item = pool.allocate(32);
        pool.m_failure = failure;
        EXPECT_THROW(pool.allocate(32), std::bad_alloc);
        EXPECT_EQ(pool.getPacketCount(), 1u);
        pool.m_failure = eFailure::eNone;
        void* next = pool.allocate(32);
        EXPECT_NE(next, nullptr);
        pool.deallocate(next);
        pool.deallocate(item);
    }

    RecordingAllocator pool;
    pool.m_failure = eFailure::eOther;
    EXPECT_THROW(pool.setUp(32, 1, 1, 0), std::runtime_error) << "other exceptions pass through";
    EXPECT_FALSE(pool.isSetUp());
    pool.m_failure = eFailure::eNull;
    EXPECT_THROW(pool.setUp(32, 1, 1, 0), std::bad_alloc);
    EXPECT_FALSE(pool.isSetUp());
    EXPECT_THROW(pool.allocate(32), std::bad_alloc) << "a pool that is not set up has no items";
}

// A locked pool whose packet source can be switched off.
class FailingPool : public RegularAllocator {
public:
    void* allocatePacket(size_t bytes) override
    {
        if (m_bFail)
            return nullptr;
        return RegularAllocator::allocatePacket(bytes);
    }
    std::atomic<bool> m_bFail{false};
};

TEST(RegularAllocator, ReleasesItsLockWhenAllocationFails)
{
    // Left to leak if the lock stays held: a thread then blocks in it for good.
    auto* pool = new FailingPool;
    ASSERT_TRUE(pool->init(32, 1, 1, 0));
    void* item = pool->allocate(32);
    pool->m_bFail = true;
    EXPECT_THROW(pool->allocate(32), std::bad_alloc);
    pool->m_bFail = false;

    std::promise<void*> fromOtherThread;
    std::future<void*> result = fromOtherThread.get_future();
    std::thread other([pool, &fromOtherThread] { fromOtherThread.set_value(pool->allocate(32)); });
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        other.detach();
        FAIL() << "the failed allocation left the pool locked";
    }
    other.join();
    void* second = result.get();
    EXPECT_NE(second, nullptr);
    pool->deallocate(second);
    pool->deallocate(item);
    pool->deInit();
    delete pool;
}

TEST(RegularAllocator, ServesManyThreads)
{
    RegularAllocator pool;
    ASSERT_TRUE(pool.init(32, 8, 64, 0));
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    std::atomic<int> damaged{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&pool, &damaged, t] {
            std::vector<uint64_t*> mine;
            for (int round = 0; round < kRounds; ++round) {
                const uint64_t stamp = (uint64_t(t) << 32) | uint64_t(round);
                auto* item = static_cast<uint64_t*>(pool.allocate(32));
                std::fill(item, item + 4, stamp);
                mine.push_back(item);
                if (round % 3 == 2) {
                    for (uint64_t* held : mine) {
                        if (held[0] >> 32 != uint64_t(t) || held[3] != held[0])
                            ++damaged;
                        pool.deallocate(held);
                    }
                    mine.clear();
                }
            }
            for (uint64_t* held : mine)
                pool.deallocate(held);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(pool.getPacketCount(), 1u);
    pool.deInit();
}

}  // namespace
