// What the picture readers share: the one size check (image sizes arrive as header fields of any
// width and are checked in 64 bits against the picture's limits before anything is allocated) and
// the scan for pixels that need the alpha channel.
#pragma once

#include "GP/Stream.h"
#include "UIA/Picture.h"

#include <cstdint>
#include <string>

namespace QV::UIA::DETAIL {

// True for a size of at least one pixel, at most Picture::kMaxSide a side and Picture::kMaxBytes
// bytes of pixels.
bool isDecodableSize(uint64_t width, uint64_t height);

// Resizes the picture (with force) for an image of that size; false for a size that is not
// decodable or that the picture refuses.
bool resizeForDecoding(Picture& picture, uint64_t width, uint64_t height);

// The bytes from the stream's position to the end of its storage, or -1 when the storage cannot
// tell. The position is kept.
long long bytesLeft(GP::Stream& stream);

// "<width> x <height> pixels", for the readers' reasons.
std::string sizeText(uint64_t width, uint64_t height);

// True when a pixel has alpha below 0xFF.
bool hasTranslucentPixel(const Picture& picture);

}  // namespace QV::UIA::DETAIL
