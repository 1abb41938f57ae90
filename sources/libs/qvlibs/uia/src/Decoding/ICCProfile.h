// The ICC profile a JPEG file embeds: "ICC_PROFILE\0", a sequence number (from 1) and the number of
// chunks, then a chunk of the profile, in each of one or more APP2 markers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace QV::UIA::DETAIL {

// The profile that the saved markers carry, its chunks joined in sequence order. A marker counts
// when it is APP2 with at least the 14-byte chunk header and the signature. Empty when no marker
// counts, or when the ones that do are not one complete sequence: numbers of chunks that differ, a
// sequence number of 0, above the number of chunks or seen twice, or a number missing.
std::vector<uint8_t> assembleICCProfile(jpeg_saved_marker_ptr markers);

}  // namespace QV::UIA::DETAIL
