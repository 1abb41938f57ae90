// A pool whose packets come from the general heap (array new and delete). No lock.
#pragma once

#include "GP/RegularAllocatorBase.h"

namespace QV::GP::DETAIL {

class TURegularAllocatorWT : public RegularAllocatorBase {
public:
    constexpr TURegularAllocatorWT() = default;

    void* allocatePacket(size_t bytes) override;
    void deallocatePacket(void* packet) override;
    ~TURegularAllocatorWT() override;
};

}  // namespace QV::GP::DETAIL
