#include "Decoding/DecodeSupport.h"

#include <algorithm>
#include <cstddef>

namespace QV::UIA::DETAIL {

bool isDecodableSize(uint64_t width, uint64_t height)
{
    if (width == 0 || height == 0 || width > uint64_t(Picture::kMaxSide) || height > uint64_t(Picture::kMaxSide))
        return false;
    // Both sides are at most 2^14 here, so the product cannot wrap.
    return width * height * sizeof(uint32_t) <= Picture::kMaxBytes;
}

bool resizeForDecoding(Picture& picture, uint64_t width, uint64_t height)
{
    return isDecodableSize(width, height) && picture.setSize(int(width), int(height), true);
}

long long bytesLeft(GP::Stream& stream)
{
    GP::IStorage* storage = stream.getStorage();
    if (storage == nullptr || !storage->isGood())
        return -1;
    const long long position = storage->getPos64();
    if (position < 0)
        return -1;
    storage->seek64(0, GP::IStorage::eSeekFromEnd);
    const long long end = storage->getPos64();
    storage->seek64(position, GP::IStorage::eSeekFromStart);
    if (end < position || storage->getPos64() != position)
        return -1;
    return end - position;
}

std::string sizeText(uint64_t width, uint64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

bool hasTranslucentPixel(const Picture& picture)
{
    const uint32_t* begin = picture.getData();
    if (begin == nullptr)
        return false;
    const uint32_t* end = begin + std::size_t(picture.getWidth()) * std::size_t(picture.getHeight());
    return std::any_of(begin, end, [](uint32_t pixel) { return pixel < 0xFF000000u; });
}

}  // namespace QV::UIA::DETAIL
