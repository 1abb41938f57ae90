// Helpers of the decoding tests: run a reader over bytes in memory, and compare pixels.
#pragma once

#include "ImageFileWriters.h"

#include "GP/MemoryStream.h"
#include "UIA/Picture.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace qvtest {

// One of the picture's readers (&Picture::readPNG, ...).
using Reader = bool (QV::UIA::Picture::*)(QV::GP::Stream&, QV::UIA::PictureProperties::eOrientation, bool);

// Reads the file from a memory stream at its start.
inline bool decode(Reader reader, const Bytes& file, QV::UIA::Picture& picture, bool bDetectAlpha = true)
{
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, const_cast<uint8_t*>(file.data()), file.size());
    return (picture.*reader)(stream, QV::UIA::PictureProperties::eOrientation(0), bDetectAlpha);
}

inline std::vector<uint32_t> pixelsOf(const QV::UIA::Picture& picture)
{
    const uint32_t* data = picture.getData();
    return std::vector<uint32_t>(data, data + std::size_t(picture.getWidth()) * std::size_t(picture.getHeight()));
}

// The largest difference between two ARGB words in any of their four bytes.
inline int channelDistance(uint32_t a, uint32_t b)
{
    int distance = 0;
    for (int shift = 0; shift < 32; shift += 8)
        distance = std::max(distance, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return distance;
}

}  // namespace qvtest
