#include "GP/RegularAllocatorBase.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <new>

namespace QV::GP::DETAIL {

// The head of every packet.
struct RegularAllocatorBase::tPacket {
    tPacket* pPrev;  // the list of all packets
    tPacket* pNext;
    tPacket* pPrevFree;  // the list of packets with free items
    tPacket* pNextFree;
    void* pFreeHead;  // this packet's chain of free items
    size_t nUsed;
    size_t nCapacity;
};

static_assert(sizeof(void*) == RegularAllocatorBase::kItemHeaderSize, "the item header holds one address");

RegularAllocatorBase::tPacket*& RegularAllocatorBase::packetOf(void* item)
{
    static_assert(sizeof(tPacket) == kPacketHeaderSize);
    return *reinterpret_cast<tPacket**>(static_cast<char*>(item) - kItemHeaderSize);
}

void*& RegularAllocatorBase::nextFreeOf(void* item) { return *static_cast<void**>(item); }

// Items are 8-byte aligned: a link with its low bit set is no item but stands for the never-used
// slots from this index down to the packet's first.
void* RegularAllocatorBase::freshSlots(size_t lastIndex)
{
    return reinterpret_cast<void*>(uintptr_t(lastIndex) << 1 | 1);
}

void* RegularAllocatorBase::popFree(tPacket* packet) const
{
    void* head = packet->pFreeHead;
    const uintptr_t link = reinterpret_cast<uintptr_t>(head);
    if ((link & 1) == 0) {
        packet->pFreeHead = nextFreeOf(head);
        return head;
    }
    const size_t index = link >> 1;
    char* firstItem = reinterpret_cast<char*>(packet) + m_nPacketHeaderSize + m_nItemHeaderSize;
    if (m_flags & eFlagAlignFirstItem) {
        const uintptr_t address = reinterpret_cast<uintptr_t>(firstItem);
        firstItem += ((address + 31) & ~uintptr_t(31)) - address;
    }
    packet->pFreeHead = index > 0 ? freshSlots(index - 1) : nullptr;
    return firstItem + index * m_nSlotSize;
}

RegularAllocatorBase::~RegularAllocatorBase() = default;

void RegularAllocatorBase::configure(size_t itemSize, size_t firstPacketItems, size_t packetItemLimit, uint32_t flags)
{
    const size_t rounded = std::max<size_t>((itemSize + 7) & ~size_t(7), sizeof(void*));
    m_nItemSize = rounded;
    m_nSlotSize = rounded + m_nItemHeaderSize;
    m_nNextPacketItems = firstPacketItems;
    m_nLargestPacketItems = 0;
    m_nPacketItemLimit = packetItemLimit;
    m_nHeldBytes = 0;
    m_flags = flags;
    m_bSetUp = false;
    m_pFirstPacket = m_pLastPacket = nullptr;
    m_pFirstFreePacket = m_pLastFreePacket = nullptr;
}

size_t RegularAllocatorBase::packetBytes(size_t items) const
{
    const size_t extra = (m_flags & eFlagAlignFirstItem) ? kAlignmentReserve : 0;
    return m_nPacketHeaderSize + extra + items * m_nSlotSize;
}

void RegularAllocatorBase::linkFree(tPacket* packet)
{
    packet->pNextFree = nullptr;
    packet->pPrevFree = m_pLastFreePacket;
    if (m_pLastFreePacket != nullptr)
        m_pLastFreePacket->pNextFree = packet;
    else
        m_pFirstFreePacket = packet;
    m_pLastFreePacket = packet;
}

void RegularAllocatorBase::unlinkFree(tPacket* packet)
{
    if (packet->pPrevFree != nullptr)
        packet->pPrevFree->pNextFree = packet->pNextFree;
    else
        m_pFirstFreePacket = packet->pNextFree;
    if (packet->pNextFree != nullptr)
        packet->pNextFree->pPrevFree = packet->pPrevFree;
    else
        m_pLastFreePacket = packet->pPrevFree;
    packet->pPrevFree = packet->pNextFree = nullptr;
}

void RegularAllocatorBase::unlinkAll(tPacket* packet)
{
    if (packet->pPrev != nullptr)
        packet->pPrev->pNext = packet->pNext;
    else
        m_pFirstPacket = packet->pNext;
    if (packet->pNext != nullptr)
        packet->pNext->pPrev = packet->pPrev;
    else
        m_pLastPacket = packet->pPrev;
    packet->pPrev = packet->pNext = nullptr;
}

void* RegularAllocatorBase::allocNewPacket()
{
    if ((m_flags & eFlagSinglePacket) && m_pFirstPacket != nullptr)
        return nullptr;
    const size_t items = m_nNextPacketItems;
    if (items == 0 || m_nSlotSize == 0 || items > (std::numeric_limits<size_t>::max() - packetBytes(0)) / m_nSlotSize)
        return nullptr;
    const size_t bytes = packetBytes(items);

    void* block = nullptr;
    try {
        block = allocatePacket(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (block == nullptr)
        return nullptr;

    tPacket* packet = static_cast<tPacket*>(block);
    packet->nUsed = 0;
    packet->nCapacity = items;
    m_nHeldBytes += bytes;
    packet->pNext = nullptr;
    packet->pPrev = m_pLastPacket;
    if (m_pLastPacket != nullptr)
        m_pLastPacket->pNext = packet;
    else
        m_pFirstPacket = packet;
    m_pLastPacket = packet;
    linkFree(packet);

    // Items go out from the packet's end. The slots never used are chained implicitly, so that a
    // packet's pages are written only as its items are taken.
    packet->pFreeHead = freshSlots(items - 1);

    // Growth: double while the packets made so far are as large as the next one, up to the limit.
    m_nLargestPacketItems = std::max(m_nLargestPacketItems, items);
    if (m_nNextPacketItems >= m_nLargestPacketItems)
        m_nNextPacketItems = std::min(m_nNextPacketItems * 2, m_nPacketItemLimit);
    return packet;
}

void* RegularAllocatorBase::allocate(size_t size)
{
    assert(size <= m_nItemSize && "the item is larger than the pool's items");
    (void)size;
    if (m_pFirstFreePacket == nullptr && allocNewPacket() == nullptr)
        throw std::bad_alloc();
    tPacket* packet = m_pFirstFreePacket;
    void* item = popFree(packet);
    packetOf(item) = packet;
    if (++packet->nUsed == packet->nCapacity)
        unlinkFree(packet);
    return item;
}

void RegularAllocatorBase::deallocate(void* item)
{
    if (item == nullptr)
        return;
    tPacket* packet = packetOf(item);
    assert(packet != nullptr && packet->nUsed > 0 && "the item is not in use in this pool");
    nextFreeOf(item) = packet->pFreeHead;
    packet->pFreeHead = item;
    if (packet->nUsed == packet->nCapacity)
        linkFree(packet);
    if (--packet->nUsed == 0 && packet != m_pFirstPacket) {
        m_nHeldBytes -= packetBytes(packet->nCapacity);
        // The next packet is not to be larger than the largest one just given back.
        if (packet->nCapacity >= m_nLargestPacketItems)
            m_nNextPacketItems = m_nLargestPacketItems;
        unlinkFree(packet);
        unlinkAll(packet);
        deallocatePacket(packet);
    }
}

void RegularAllocatorBase::releaseAllPackets()
{
    tPacket* packet = m_pFirstPacket;
    m_pFirstPacket = m_pLastPacket = nullptr;
    m_pFirstFreePacket = m_pLastFreePacket = nullptr;
    m_nHeldBytes = 0;
    m_bSetUp = false;
    while (packet != nullptr) {
        tPacket* next = packet->pNext;
        deallocatePacket(packet);
        packet = next;
    }
}

size_t RegularAllocatorBase::getPacketCount() const
{
    size_t count = 0;
    for (const tPacket* packet = m_pFirstPacket; packet != nullptr; packet = packet->pNext)
        ++count;
    return count;
}

}  // namespace QV::GP::DETAIL
