// readDetect: the readers tried in turn from one table, each from the same stream position.
#include "UIA/PictureReaders.h"

#include <iterator>

namespace QV::UIA::PictureReaders {

namespace {

using ReaderFunction = bool (*)(Picture&, GP::Stream&, PictureProperties::eOrientation, bool);

// In order of the strength of their signatures: PNG and JPEG refuse anything else within a few
// bytes; TGA has no signature and comes last.
constexpr ReaderFunction kReaders[] = {&readPNG, &readJPG, &readTGA};

}  // namespace

bool readDetect(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation, bool bDetectAlpha)
{
    GP::IStorage* storage = stream.getStorage();
    if (storage == nullptr)
        return false;
    const long long start = storage->getPos64();
    for (std::size_t i = 0; i < std::size(kReaders); ++i) {
        if (i > 0 && start >= 0)
            storage->seek64(start, GP::IStorage::eSeekFromStart);
        // The readers ignore the orientation; each is handed 0.
        if (kReaders[i](picture, stream, PictureProperties::eOrientation(0), bDetectAlpha))
            return true;
    }
    return false;
}

}  // namespace QV::UIA::PictureReaders
