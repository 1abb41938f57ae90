#include "Fonts/StreamContent.h"

#include "GP/IStorage.h"
#include "GP/Stream.h"

#include <vector>

namespace QV::UIA::DETAIL {

std::optional<GP::tSharedBytes> readWholeStream(GP::Stream& stream)
{
    GP::IStorage* storage = stream.getStorage();
    if (!storage)
        return std::nullopt;
    if (GP::tSharedBytes shared = storage->shareAll(); !shared.empty())
        return shared;
    storage->seek64(0, GP::IStorage::eSeekFromEnd);
    const long long size = storage->getPos64();
    if (size < 0)
        return std::nullopt;
    storage->seek64(0, GP::IStorage::eSeekFromStart);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0 && stream.readRaw(bytes.data(), bytes.size()) != bytes.size())
        return std::nullopt;
    return GP::tSharedBytes::fromVector(std::move(bytes));
}

}  // namespace QV::UIA::DETAIL
