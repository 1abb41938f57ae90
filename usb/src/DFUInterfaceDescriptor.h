// Finding the DFU interface in a configuration descriptor. Kept apart from DFUDevice so that the
// walk can be tried on descriptor bytes alone, without a connected device.
#pragma once

#include "DVK2/DFUDevice.h"

#include <cstdint>

namespace QV::DVK2::DFU {

// Walks the descriptors of the configuration descriptor `config` (`length` bytes, wTotalLength).
// A candidate is an interface descriptor (bLength >= 9) of class 0xFE, subclass 1 and protocol
// 0..2; it is taken when the descriptor right after it is a DFU functional descriptor (type 0x21,
// bLength >= 7), otherwise the walk goes on after that following descriptor. Returns true and
// fills `info` for the first one taken; false, `info` untouched, when there is none.
bool findInterface(const uint8_t* config, unsigned length, tInterfaceInfo& info);

}  // namespace QV::DVK2::DFU
