// The whole content of a stream as bytes.
#pragma once

#include "GP/SharedBytes.h"

#include <optional>

namespace QV::GP {
class Stream;
}

namespace QV::UIA::DETAIL {

// The storage's own bytes where it shares them (a mapped file, a held resource: nothing is
// copied); else seeks to the end to learn the size, back to the start, and reads that many bytes.
// Nothing when the stream has no storage, the size is unknown (negative) or fewer bytes arrive.
std::optional<GP::tSharedBytes> readWholeStream(GP::Stream& stream);

}  // namespace QV::UIA::DETAIL
