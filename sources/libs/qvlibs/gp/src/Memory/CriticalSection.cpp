#include "GP/CriticalSection.h"

#include "GP/RegularAllocator.h"

#include <cassert>
#include <new>

namespace QV::GP {

namespace {

// The lock objects' pool: items of the lock's size, a first packet of 40, packets of at most 512.
constexpr size_t kLockItemSize = 32;
constexpr size_t kLockFirstPacketItems = 40;
constexpr size_t kLockPacketItemLimit = 512;

static_assert(sizeof(CriticalSection) <= kLockItemSize, "a lock object must fit an item of its pool");
static_assert(std::atomic<pthread_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

}  // namespace

DA::RegularAllocator CriticalSection::s_heap;

bool CriticalSection::init()
{
    if (m_bCreated)
        return true;
    if (semaphore_create(mach_task_self(), &m_semaphore, SYNC_POLICY_FIFO, 0) != KERN_SUCCESS)
        return false;
    m_owner.store(0, std::memory_order_relaxed);
    m_nRecursion = 0;
    m_nCount.store(0, std::memory_order_relaxed);
    m_bCreated = true;
    return true;
}

void CriticalSection::deInit()
{
    if (!m_bCreated)
        return;
    assert(m_nCount.load() == 0 && "a lock is destroyed while a thread holds or wants it");
    semaphore_destroy(mach_task_self(), m_semaphore);
    m_semaphore = SEMAPHORE_NULL;
    m_bCreated = false;
}

void CriticalSection::enter()
{
    assert(m_bCreated && "the lock is used before init");
    const pthread_t self = pthread_self();
    if (pthread_equal(m_owner.load(std::memory_order_relaxed), self)) {
        ++m_nRecursion;
        return;
    }
    if (m_nCount.fetch_add(1, std::memory_order_acq_rel) > 0) {
        const kern_return_t waited = semaphore_wait(m_semaphore);
        assert(waited == KERN_SUCCESS && "the lock was destroyed while a thread waited for it");
        (void)waited;
    }
    m_owner.store(self, std::memory_order_relaxed);
    m_nRecursion = 1;
}

void CriticalSection::leave()
{
    assert(isOwnedByCurrentThread() && "the lock is left by a thread that does not hold it");
    if (m_nRecursion >= 2) {
        --m_nRecursion;
        return;
    }
    m_owner.store(0, std::memory_order_relaxed);
    m_nRecursion = 0;
    if (m_nCount.fetch_sub(1, std::memory_order_acq_rel) > 1)
        semaphore_signal(m_semaphore);
}

bool CriticalSection::isOwnedByCurrentThread() const
{
    // Only the owner itself can see its own id here: every other thread reads another id or 0.
    return pthread_equal(m_owner.load(std::memory_order_relaxed), pthread_self()) != 0;
}

CriticalSection* CriticalSection::create()
{
    void* item = s_heap.allocate(sizeof(CriticalSection));
    CriticalSection* lock = new (item) CriticalSection;
    if (!lock->init()) {
        lock->~CriticalSection();
        s_heap.deallocate(item);
        return nullptr;
    }
    return lock;
}

void CriticalSection::destroy(CriticalSection* lock)
{
    if (lock == nullptr)
        return;
    lock->deInit();
    lock->~CriticalSection();
    s_heap.deallocate(lock);
}

bool CriticalSection::staticInit()
{
    return s_heap.init(kLockItemSize, kLockFirstPacketItems, kLockPacketItemLimit, 0);
}

void CriticalSection::staticDeInit() { s_heap.deInit(); }

}  // namespace QV::GP
