// TGA, the program's own reader: uncompressed and run-length encoded true colour of 32, 24 and 16
// bits per pixel. TGA is little-endian by definition, so the header and the pixels are taken from
// the bytes in that order whatever the stream's byte order.
//
// Every byte the image needs must arrive: data that end early fail the read, and data too short for
// the size the header announces are refused before the picture is allocated. A run-length packet
// that reaches past the last pixel is cut there.
#include "UIA/Picture.h"

#include "Decoding/DecodeSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace QV::UIA {

namespace {

// The 18-byte header, in file order.
struct tTGAHeader {
    uint8_t idLength;            // image-ID bytes after the header, skipped
    uint8_t colourMapType;       // 1: a colour map follows the ID, skipped
    uint8_t imageType;           // eImageType
    uint16_t colourMapFirst;     // not used
    uint16_t colourMapLength;    // entries to skip
    uint8_t colourMapEntryBits;  // bits per entry to skip
    uint16_t xOrigin;            // not used
    uint16_t yOrigin;            // not used
    uint16_t width;
    uint16_t height;
    uint8_t pixelDepth;  // 32, 24 or 16
    uint8_t descriptor;  // kDescriptorTopFirst; other bits not used
};

constexpr std::size_t kHeaderSize = 18;

enum eImageType : uint8_t {
    eImageTrueColour = 2,
    eImageTrueColourRLE = 10,
};

constexpr uint8_t kDescriptorTopFirst = 0x20;

uint16_t littleEndian16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

bool readHeader(GP::Stream& stream, tTGAHeader& header)
{
    uint8_t bytes[kHeaderSize];
    if (stream.readRaw(bytes, sizeof bytes) != sizeof bytes)
        return false;
    header.idLength = bytes[0];
    header.colourMapType = bytes[1];
    header.imageType = bytes[2];
    header.colourMapFirst = littleEndian16(bytes + 3);
    header.colourMapLength = littleEndian16(bytes + 5);
    header.colourMapEntryBits = bytes[7];
    header.xOrigin = littleEndian16(bytes + 8);
    header.yOrigin = littleEndian16(bytes + 10);
    header.width = littleEndian16(bytes + 12);
    header.height = littleEndian16(bytes + 14);
    header.pixelDepth = bytes[16];
    header.descriptor = bytes[17];
    return true;
}

// Skips count bytes by seeking; false when the storage does not get there.
bool skip(GP::Stream& stream, uint64_t count)
{
    if (count == 0)
        return true;
    GP::IStorage* storage = stream.getStorage();
    storage->seek64(static_cast<long long>(count), GP::IStorage::eSeekFromCurrent);
    return storage->isGood();
}

// File pixels to ARGB words.
uint32_t fromBGRA(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t fromBGR(const uint8_t* p) { return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[0]); }

// Five bits per channel (red in bits 10-14, green 5-9, blue 0-4) shifted up by three; the top bit
// is ignored. The word 0 is the one transparent pixel.
uint32_t fromX1R5G5B5(const uint8_t* p)
{
    const uint32_t word = littleEndian16(p);
    if (word == 0)
        return 0;
    return 0xFF000000u | ((word << 9) & 0xF80000u) | ((word << 6) & 0xF800u) | ((word & 0x1Fu) << 3);
}

struct tPixelFormat {
    uint8_t depth;
    std::size_t bytes;
    uint32_t (*convert)(const uint8_t*);
};

constexpr tPixelFormat kPixelFormats[] = {
    {32, 4, &fromBGRA},
    {24, 3, &fromBGR},
    {16, 2, &fromX1R5G5B5},
};

constexpr std::size_t kMaxPixelBytes = 4;
constexpr std::size_t kMaxPacketPixels = 128;

// Where the next decoded pixels go, in file order.
struct tPixelRun {
    uint32_t* next;
    std::size_t left;
};

// Reads `count` stored pixels into the run through `buffer` (room for them all).
bool readLiterals(GP::Stream& stream, const tPixelFormat& format, tPixelRun& run, std::size_t count, uint8_t* buffer)
{
    std::size_t const bytes = count * format.bytes;
    if (stream.readRaw(buffer, bytes) != bytes)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        run.next[i] = format.convert(buffer + i * format.bytes);
    run.next += count;
    run.left -= count;
    return true;
}

bool readUncompressed(GP::Stream& stream, const tPixelFormat& format, tPixelRun& run)
{
    constexpr std::size_t kChunkPixels = 1024;
    uint8_t buffer[kChunkPixels * kMaxPixelBytes];
    while (run.left > 0)
        if (!readLiterals(stream, format, run, std::min(run.left, kChunkPixels), buffer))
            return false;
    return true;
}

// Packets of one header byte h: h & 0x80 set, one pixel repeated (h & 0x7F) + 1 times; clear,
// (h & 0x7F) + 1 literal pixels. Packets may run on from one row into the next.
bool readRunLength(GP::Stream& stream, const tPixelFormat& format, tPixelRun& run)
{
    uint8_t buffer[kMaxPacketPixels * kMaxPixelBytes];
    while (run.left > 0) {
        uint8_t packet = 0;
        if (stream.readRaw(&packet, 1) != 1)
            return false;
        std::size_t const count = std::min<std::size_t>((packet & 0x7F) + 1, run.left);
        if (!(packet & 0x80)) {
            if (!readLiterals(stream, format, run, count, buffer))
                return false;
            continue;
        }
        if (stream.readRaw(buffer, format.bytes) != format.bytes)
            return false;
        std::fill_n(run.next, count, format.convert(buffer));
        run.next += count;
        run.left -= count;
    }
    return true;
}

// The fewest bytes that can hold the pixels: all of them raw, or in packets of 128 repeated ones.
uint64_t leastDataBytes(uint8_t imageType, const tPixelFormat& format, uint64_t nPixels)
{
    if (imageType == eImageTrueColour)
        return nPixels * format.bytes;
    return (nPixels + kMaxPacketPixels - 1) / kMaxPacketPixels * (1 + format.bytes);
}

void putTopRowFirst(Picture& picture)
{
    std::size_t const width = std::size_t(picture.getWidth());
    const int height = picture.getHeight();
    for (int y = 0; y < height / 2; ++y) {
        uint32_t* top = picture.getData() + std::size_t(y) * width;
        uint32_t* bottom = picture.getData() + std::size_t(height - 1 - y) * width;
        std::swap_ranges(top, top + width, bottom);
    }
}

}  // namespace

bool Picture::readTGA(GP::Stream& stream, eOrientation orientation, bool bDetectAlpha)
{
    std::string why;
    return readTGA(stream, orientation, bDetectAlpha, why);
}

// Without a signature, data count as TGA (and get a reason) once their image type is one it reads.
bool Picture::readTGA(GP::Stream& stream, eOrientation, bool bDetectAlpha, std::string& why)
{
    why.clear();
    if (stream.getStorage() == nullptr)
        return false;
    tTGAHeader header;
    if (!readHeader(stream, header))
        return false;
    if (header.imageType != eImageTrueColour && header.imageType != eImageTrueColourRLE)
        return false;
    const auto format = std::find_if(std::begin(kPixelFormats), std::end(kPixelFormats),
                                     [&](const tPixelFormat& f) { return f.depth == header.pixelDepth; });
    if (format == std::end(kPixelFormats)) {
        why = "TGA: " + std::to_string(header.pixelDepth) + " bits per pixel are not read";
        return false;
    }
    // An image of no pixels is no picture; an oversized one is refused before anything is read.
    if (!DETAIL::isDecodableSize(header.width, header.height)) {
        why = "TGA: an image of " + DETAIL::sizeText(header.width, header.height) + " is not read";
        return false;
    }
    why = "TGA: the data end early";

    if (!skip(stream, header.idLength))
        return false;
    if (header.colourMapType == 1 &&
        !skip(stream, uint64_t(header.colourMapLength) * ((header.colourMapEntryBits + 7u) / 8u)))
        return false;

    const uint64_t nPixels = uint64_t(header.width) * header.height;
    const long long available = DETAIL::bytesLeft(stream);
    if (available >= 0 && uint64_t(available) < leastDataBytes(header.imageType, *format, nPixels))
        return false;

    if (!DETAIL::resizeForDecoding(*this, header.width, header.height)) {
        why = "TGA: out of memory";
        return false;
    }
    tPixelRun run{getData(), std::size_t(nPixels)};
    const bool bRead = header.imageType == eImageTrueColour ? readUncompressed(stream, *format, run)
                                                            : readRunLength(stream, *format, run);
    if (!bRead)
        return false;
    why.clear();
    if ((header.descriptor & kDescriptorTopFirst) == 0)
        putTopRowFirst(*this);
    if (bDetectAlpha)
        setAlphaChannel(DETAIL::hasTranslucentPixel(*this));
    return true;
}

}  // namespace QV::UIA
