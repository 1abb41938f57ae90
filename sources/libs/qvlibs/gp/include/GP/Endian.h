// Byte orders of typed streams.
#pragma once

#include <cstdint>

namespace QV::GP::Endian {

enum eByteOrder : int32_t {
    eLittleEndian = 1,  // the machine's order: no swapping
    eBigEndian = 2,
};

}  // namespace QV::GP::Endian
