// The whole content of a stream as bytes.
#pragma once

#include <optional>
#include <vector>

namespace QV::GP {
class Stream;
}

namespace QV::UIA::DETAIL {

// Seeks to the end to learn the size, back to the start, and reads that many bytes. Nothing when
// the stream has no storage, the size is unknown (negative) or fewer bytes arrive.
std::optional<std::vector<unsigned char>> readWholeStream(GP::Stream& stream);

}  // namespace QV::UIA::DETAIL
