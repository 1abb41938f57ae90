#include "Fonts/StreamContent.h"

#include "GP/IStorage.h"
#include "GP/Stream.h"

namespace QV::UIA::DETAIL {

std::optional<std::vector<unsigned char>> readWholeStream(GP::Stream& stream)
{
    GP::IStorage* storage = stream.getStorage();
    if (!storage)
        return std::nullopt;
    storage->seek64(0, GP::IStorage::eSeekFromEnd);
    const long long size = storage->getPos64();
    if (size < 0)
        return std::nullopt;
    storage->seek64(0, GP::IStorage::eSeekFromStart);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0 && stream.readRaw(bytes.data(), bytes.size()) != bytes.size())
        return std::nullopt;
    return bytes;
}

}  // namespace QV::UIA::DETAIL
