// The mechanics of a pool of fixed-size items, without a lock and without a packet source.
//
// Items live in packets: one block per packet holding a header and a run of slots. Each slot is an
// 8-byte header (the address of its packet) followed by the item; callers get the address behind
// the header, so freeing finds the packet in constant time. Every packet chains its free items
// through their first word; the slots it has never handed out follow at the chain's end without
// being written, so a packet costs memory only as far as it is used. Packets grow geometrically up
// to a limit; a packet whose items all come back is released, except the pool's first packet,
// which stays until the pool is torn down.
// Items are 8-byte aligned (the first item of a packet 32-byte aligned under eFlagAlignFirstItem).
#pragma once

#include <cstddef>
#include <cstdint>

namespace QV::GP::DETAIL {

class RegularAllocatorBase {
public:
    enum eFlags : uint32_t {
        eFlagSinglePacket = 1u << 0,    // never make a second packet
        eFlagAlignFirstItem = 1u << 2,  // the first item of each packet on a 32-byte boundary
    };

    static constexpr size_t kPacketHeaderSize = 56;
    static constexpr size_t kItemHeaderSize = 8;
    static constexpr size_t kAlignmentReserve = 24;  // extra packet bytes under eFlagAlignFirstItem

    constexpr RegularAllocatorBase() = default;
    RegularAllocatorBase(const RegularAllocatorBase&) = delete;
    RegularAllocatorBase& operator=(const RegularAllocatorBase&) = delete;

    // The packet source: a block of the given size, or null (or std::bad_alloc) when there is none.
    virtual void* allocatePacket(size_t bytes) = 0;
    virtual void deallocatePacket(void* packet) = 0;
    // Releases nothing: packets go back only through the owner's tear-down.
    virtual ~RegularAllocatorBase();

    // One item of the pool's item size (size is only checked against it in debug builds). Raises
    // std::bad_alloc when no packet has a free item and no new packet can be made; never null.
    void* allocate(size_t size);
    // Gives an item back; null is ignored.
    void deallocate(void* item);
    // Makes a packet of the next-packet size and links it into the pool. Null when the pool may
    // not grow (eFlagSinglePacket, not configured) or the packet source has nothing; a
    // std::bad_alloc of the source turns into null too.
    void* allocNewPacket();

    bool isSetUp() const { return m_bSetUp; }
    size_t getItemSize() const { return m_nItemSize; }
    size_t getSlotSize() const { return m_nSlotSize; }
    size_t getNextPacketItems() const { return m_nNextPacketItems; }
    size_t getLargestPacketItems() const { return m_nLargestPacketItems; }
    size_t getPacketItemLimit() const { return m_nPacketItemLimit; }
    size_t getHeldBytes() const { return m_nHeldBytes; }
    uint32_t getFlags() const { return m_flags; }
    // Walks the packet list: for tests and diagnostics, not for hot paths.
    size_t getPacketCount() const;

protected:
    // Forgets any previous state and takes the settings; the item size is rounded up to a
    // multiple of 8 (and to at least 8, the free-chain link). Does not make a packet.
    void configure(size_t itemSize, size_t firstPacketItems, size_t packetItemLimit, uint32_t flags);
    // Hands every packet to deallocatePacket and clears the set-up mark.
    void releaseAllPackets();
    void markSetUp() { m_bSetUp = true; }

private:
    struct tPacket;

    static tPacket*& packetOf(void* item);
    static void*& nextFreeOf(void* item);
    static void* freshSlots(size_t lastIndex);
    // Takes the head of the packet's free items (the packet has one).
    void* popFree(tPacket* packet) const;
    size_t packetBytes(size_t items) const;
    void linkFree(tPacket* packet);
    void unlinkFree(tPacket* packet);
    void unlinkAll(tPacket* packet);

    size_t m_nItemSize = 0;
    size_t m_nSlotSize = 0;
    size_t m_nNextPacketItems = 0;
    size_t m_nLargestPacketItems = 0;
    size_t m_nPacketItemLimit = 0;
    size_t m_nHeldBytes = 0;
    size_t m_nPacketHeaderSize = kPacketHeaderSize;
    size_t m_nItemHeaderSize = kItemHeaderSize;
    uint32_t m_flags = 0;
    bool m_bSetUp = false;
    tPacket* m_pFirstPacket = nullptr;  // every packet, oldest first
    tPacket* m_pLastPacket = nullptr;
    tPacket* m_pFirstFreePacket = nullptr;  // the packets with a free item; allocation takes the first
    tPacket* m_pLastFreePacket = nullptr;
};

}  // namespace QV::GP::DETAIL
