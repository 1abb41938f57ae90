// The platform core's pooled allocator of fixed-size items for any thread: a heap-backed pool
// guarded by its own recursive lock. The pools of the lock objects and of the region rectangles
// are objects of this class; both are configured by init and released by deInit.
#pragma once

#include "GP/CriticalSection.h"
#include "GP/TURegularAllocator.h"

namespace QV::GP::DA {

class RegularAllocator : public DETAIL::TURegularAllocator {
public:
    // Holds no system resource until init, so static pools need no construction order.
    constexpr RegularAllocator() = default;
    ~RegularAllocator() override;

    // Creates the lock (false when the system has no semaphore for it) and, when the pool is not
    // set up yet, sets it up with the given settings. Raises std::bad_alloc when the first packet
    // cannot be made; the lock is destroyed again then.
    bool init(size_t itemSize, size_t firstPacketItems, size_t packetItemLimit, uint32_t flags);
    // Releases every packet (and every item still out) and destroys the lock.
    void deInit();

    // One item under the lock. size is not consulted beyond a debug check: every item has the
    // pool's item size. Raises std::bad_alloc when no packet can be made or the pool is not
    // initialised; never null.
    void* allocate(int size);
    // Gives an item back under the lock; null is ignored.
    void deallocate(void* item);

private:
    CriticalSection m_lock;
};

}  // namespace QV::GP::DA
