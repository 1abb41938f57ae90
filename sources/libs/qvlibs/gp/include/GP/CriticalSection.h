// The platform core's recursive lock: a count of the threads that hold or want the lock, changed
// atomically, in front of a FIFO semaphore. An uncontended enter or leave is one atomic operation;
// only contention reaches the semaphore, which hands the lock over in the order the threads
// started waiting. The thread that holds the lock may enter it again without waiting and must
// leave it as often as it entered.
//
// Two kinds of lock objects: static ones (members and statics; init/deInit bracket their use)
// and pooled ones from CriticalSection::s_heap (create/destroy), which exists once staticInit has
// run.
#pragma once

#include <mach/mach.h>

#include <pthread.h>

#include <atomic>

namespace QV::GP {

namespace DA {
class RegularAllocator;
}

class CriticalSection {
public:
    // Holds no semaphore until init, so static locks need no construction order.
    constexpr CriticalSection() = default;
    // Destroys the semaphore unless a thread still holds or wants the lock (a process ending from
    // inside a locked section, for one): then the semaphore is left to the process's end.
    ~CriticalSection()
    {
        if (m_nCount.load() == 0)
            deInit();
    }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    // Makes the semaphore; false when the system refuses one. Does nothing on a created lock.
    bool init();
    // Destroys the semaphore of a created lock. No thread may hold or wait for it.
    void deInit();
    bool isCreated() const { return m_bCreated; }

    // Takes the lock, waiting while another thread holds it; on the owning thread only counts.
    void enter();
    // Undoes one enter; the last one releases the lock and wakes the longest waiting thread.
    // Only the owning thread may leave.
    void leave();
    bool isOwnedByCurrentThread() const;

    // A pooled lock object, created; null when the system refuses a semaphore. Raises
    // std::bad_alloc when the pool can make no item (or staticInit has not run).
    static CriticalSection* create();
    // Destroys a pooled lock object and gives its item back; null is ignored.
    static void destroy(CriticalSection* lock);

    // Library start: creates the pool's lock and sets up the pool of lock objects. False when no
    // semaphore is to be had; std::bad_alloc when the first packet cannot be made.
    static bool staticInit();
    // Library stop: releases every packet of the pool (every lock object still out with them) and
    // destroys the pool's lock.
    static void staticDeInit();

    // The pool of lock objects: 32-byte items, a first packet of 40, packets of at most 512.
    static DA::RegularAllocator s_heap;

    // Holds a lock for its own lifetime.
    class Guard {
    public:
        explicit Guard(CriticalSection& lock) : m_lock(lock) { m_lock.enter(); }
        ~Guard() { m_lock.leave(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CriticalSection& m_lock;
    };

private:
    semaphore_t m_semaphore = SEMAPHORE_NULL;
    std::atomic<pthread_t> m_owner{0};  // written by the holder only; read by others to see it is not theirs
    int m_nRecursion = 0;               // touched by the holder only
    std::atomic<int> m_nCount{0};       // threads that hold or want the lock
    bool m_bCreated = false;
};

}  // namespace QV::GP
