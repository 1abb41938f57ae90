// A heap-backed pool with its set-up and tear-down. No lock: for one thread at a time.
#pragma once

#include "GP/TURegularAllocatorWT.h"

namespace QV::GP::DETAIL {

class TURegularAllocator : public TURegularAllocatorWT {
public:
    constexpr TURegularAllocator() = default;
    ~TURegularAllocator() override;

    // Configures the pool and makes its first packet (firstPacketItems items); the pool's later
    // packets double up to packetItemLimit items. Raises std::bad_alloc, leaving the pool not set
    // up, when the first packet cannot be made. Any earlier packets must have been torn down.
    void setUp(size_t itemSize, size_t firstPacketItems, size_t packetItemLimit, uint32_t flags);

    // Releases every packet, and with them every item still handed out.
    void tearDown();
};

}  // namespace QV::GP::DETAIL
