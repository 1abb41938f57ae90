// Picture::readDetect: the readers tried in turn from one table, each from the same stream position.
#include "UIA/Picture.h"

namespace QV::UIA {

namespace {

using Reader = bool (Picture::*)(GP::Stream&, PictureProperties::eOrientation, bool);

// In order of the strength of their signatures: PNG and JPEG refuse anything else within a few
// bytes; TGA has no signature and comes last.
constexpr Reader kReaders[] = {&Picture::readPNG, &Picture::readJPG, &Picture::readTGA};

}  // namespace

bool Picture::readDetect(GP::Stream& stream, eOrientation, bool bDetectAlpha)
{
    GP::IStorage* storage = stream.getStorage();
    if (storage == nullptr)
        return false;
    const long long start = storage->getPos64();
    bool bFirst = true;
    for (const Reader reader : kReaders) {
        if (!bFirst && start >= 0)
            storage->seek64(start, GP::IStorage::eSeekFromStart);
        bFirst = false;
        // The readers ignore the orientation; each is handed 0.
        if ((this->*reader)(stream, eOrientation(0), bDetectAlpha))
            return true;
    }
    return false;
}

}  // namespace QV::UIA
