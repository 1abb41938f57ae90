#include "GP/RegularAllocator.h"

#include <new>

namespace QV::GP::DA {

RegularAllocator::~RegularAllocator() = default;

bool RegularAllocator::init(size_t itemSize, size_t firstPacketItems, size_t packetItemLimit, uint32_t flags)
{
    if (!m_lock.init())
        return false;
    try {
        CriticalSection::Guard guard(m_lock);
        if (!isSetUp())
            setUp(itemSize, firstPacketItems, packetItemLimit, flags);
    } catch (...) {
        m_lock.deInit();
        throw;
    }
    return true;
}

void RegularAllocator::deInit()
{
    if (m_lock.isCreated()) {
        CriticalSection::Guard guard(m_lock);
        tearDown();
    } else {
        tearDown();
    }
    m_lock.deInit();
}

void* RegularAllocator::allocate(int size)
{
    // A pool before init (or after deInit) has neither lock nor packets.
    if (!m_lock.isCreated())
        throw std::bad_alloc();
    CriticalSection::Guard guard(m_lock);
    return TURegularAllocator::allocate(static_cast<size_t>(size));
}

void RegularAllocator::deallocate(void* item)
{
    if (item == nullptr)
        return;
    CriticalSection::Guard guard(m_lock);
    TURegularAllocator::deallocate(item);
}

}  // namespace QV::GP::DA
