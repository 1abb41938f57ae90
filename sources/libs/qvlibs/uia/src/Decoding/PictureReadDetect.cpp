// Picture::readDetect: the readers tried in turn from one table, each from the same stream position.
#include "UIA/Picture.h"

#include "Decoding/DecodeSupport.h"

namespace QV::UIA {

namespace {

using Reader = bool (Picture::*)(GP::Stream&, PictureProperties::eOrientation, bool, std::string&);

// In order of the strength of their signatures: PNG and JPEG refuse anything else within a few
// bytes; TGA has no signature and comes last.
constexpr Reader kReaders[] = {&Picture::readPNG, &Picture::readJPG, &Picture::readTGA};

}  // namespace

bool Picture::readDetect(GP::Stream& stream, eOrientation, bool bDetectAlpha, std::string* pWhy)
{
    GP::IStorage* storage = stream.getStorage();
    if (storage == nullptr) {
        if (pWhy)
            *pWhy = "no data";
        return false;
    }
    const long long start = storage->getPos64();
    const long long size = DETAIL::bytesLeft(stream);
    // The reason of the first reader that knew the data as its own.
    std::string why;
    bool bFirst = true;
    for (const Reader reader : kReaders) {
        if (!bFirst && start >= 0)
            storage->seek64(start, GP::IStorage::eSeekFromStart);
        bFirst = false;
        std::string readerWhy;
        // The readers ignore the orientation; each is handed 0.
        if ((this->*reader)(stream, eOrientation(0), bDetectAlpha, readerWhy))
            return true;
        if (why.empty())
            why = std::move(readerWhy);
    }
    if (pWhy)
        *pWhy = !why.empty() ? why : size == 0 ? "empty file" : "not a PNG, JPEG or TGA picture";
    return false;
}

}  // namespace QV::UIA
