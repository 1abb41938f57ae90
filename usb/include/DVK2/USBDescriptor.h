// Walking the descriptors of a configuration descriptor.
#pragma once

#include <cstdint>

namespace QV::DVK2::USB {

struct DescriptorHeader {
    uint8_t bLength;
    uint8_t bDescriptorType;
};

namespace Descriptor {
// The descriptor after `header`; `remaining` counts the bytes from `header` to the end of the
// configuration descriptor and is reduced by the step. Null at the end or on a malformed length.
const DescriptorHeader* getNext(const DescriptorHeader* header, unsigned& remaining);
}  // namespace Descriptor

}  // namespace QV::DVK2::USB
