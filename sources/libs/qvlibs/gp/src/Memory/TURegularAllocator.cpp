#include "GP/TURegularAllocator.h"

#include <new>

namespace QV::GP::DETAIL {

TURegularAllocator::~TURegularAllocator() = default;

void TURegularAllocator::setUp(size_t itemSize, size_t firstPacketItems, size_t packetItemLimit, uint32_t flags)
{
    configure(itemSize, firstPacketItems, packetItemLimit, flags);
    if (allocNewPacket() == nullptr)
        throw std::bad_alloc();
    markSetUp();
}

void TURegularAllocator::tearDown() { releaseAllPackets(); }

}  // namespace QV::GP::DETAIL
