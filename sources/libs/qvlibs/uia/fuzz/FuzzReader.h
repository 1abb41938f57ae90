// The body of every picture reader fuzzer: one reader over the input bytes in a memory stream.
// A picture that the reader accepts is read in full, so that a size that does not match its
// buffer shows up under AddressSanitizer.
#pragma once

#include "GP/MemoryStream.h"
#include "UIA/Picture.h"

#include <cstddef>
#include <cstdint>

namespace qvfuzz {

// One of the picture's readers (&Picture::readPNG, ...).
using Reader = bool (QV::UIA::Picture::*)(QV::GP::Stream&, QV::UIA::PictureProperties::eOrientation, bool);

inline int fuzzReader(Reader reader, const uint8_t* data, std::size_t size)
{
    QV::GP::MemoryStream stream;
    // Read-only: the storage never writes into the fuzzer's buffer.
    stream.storage().init(QV::GP::IStorage::eAccessRead, const_cast<uint8_t*>(data), size);
    QV::UIA::Picture picture;
    if ((picture.*reader)(stream, QV::UIA::PictureProperties::eOrientation(0), true)) {
        const uint32_t* pixel = picture.getData();
        std::size_t const count = std::size_t(picture.getWidth()) * std::size_t(picture.getHeight());
        uint32_t combined = 0;
        for (std::size_t i = 0; i < count; ++i)
            combined ^= pixel[i];
        volatile uint32_t sink = combined;
        (void)sink;
    }
    return 0;
}

}  // namespace qvfuzz
