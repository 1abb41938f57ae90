// Stepping through the descriptors of a configuration descriptor. Every length comes from the
// device, so each step is checked against the bytes that remain before it is taken.
#include "DVK2/USBDescriptor.h"

#include <cstdio>

namespace QV::DVK2::USB::Descriptor {

const DescriptorHeader* getNext(const DescriptorHeader* header, unsigned& remaining)
{
    if (header == nullptr)
        return nullptr;
    if (header->bLength == 0 || header->bLength > remaining) {
        printf("invalid descriptor size: pStart->bLength = %d, uRemainingSize = %d\n", header->bLength, remaining);
        return nullptr;
    }
    remaining -= header->bLength;
    if (remaining == 0)
        return nullptr;
    auto next = reinterpret_cast<const DescriptorHeader*>(reinterpret_cast<const uint8_t*>(header) + header->bLength);
    // A single stray byte cannot hold a descriptor head: its type would lie past the end.
    if (next->bLength > remaining || remaining < sizeof(DescriptorHeader)) {
        printf("invalid descriptor size: pNext->bLength = %d, uRemainingSize = %d\n", next->bLength, remaining);
        remaining = 0;
        return nullptr;
    }
    return next;
}

}  // namespace QV::DVK2::USB::Descriptor
