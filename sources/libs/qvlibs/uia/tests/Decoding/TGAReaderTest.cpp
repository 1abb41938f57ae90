// TGA: uncompressed and run-length encoded pixels of 32, 24 and 16 bits, rows stored either way
// up, the skipped ID field and colour map, and files that must fail (unsupported types and depths,
// data that end early, sizes beyond the picture's limits).
#include "DecodingChecks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::UIA::Picture;
using qvtest::Bytes;
using qvtest::TgaSpec;

constexpr uint8_t kTopFirst = 0x20;

// Five distinct file pixels of one depth and the ARGB words they stand for.
struct Depth {
    uint8_t bits;
    std::vector<Bytes> pixels;
    std::vector<uint32_t> words;
    bool bTranslucent;  // some word has alpha below 0xFF
};

std::vector<Depth> depths()
{
    return {
        {32,
         {{0x30, 0x20, 0x10, 0xFF},
          {0x60, 0x50, 0x40, 0x80},
          {0xC0, 0xB0, 0xA0, 0x00},
          {0xFF, 0xFF, 0xFF, 0xFF},
          {0x03, 0x02, 0x01, 0x7F}},
         {0xFF102030, 0x80405060, 0x00A0B0C0, 0xFFFFFFFF, 0x7F010203},
         true},
        {24,
         {{0x30, 0x20, 0x10}, {0x60, 0x50, 0x40}, {0xC0, 0xB0, 0xA0}, {0xFF, 0xFF, 0xFF}, {0x03, 0x02, 0x01}},
         {0xFF102030, 0xFF405060, 0xFFA0B0C0, 0xFFFFFFFF, 0xFF010203},
         false},
        // Little-endian words 0x7FFF, 0 (transparent), 0x0400 (red 1), 0x0020 (green 1), and 0x8001
        // (blue 1; the top bit is ignored).
        {16,
         {{0xFF, 0x7F}, {0x00, 0x00}, {0x00, 0x04}, {0x20, 0x00}, {0x01, 0x80}},
         {0xFFF8F8F8, 0x00000000, 0xFF080000, 0xFF000800, 0xFF000008},
         true},
    };
}

// A 3 x 3 image of the five pixels, top row first, with runs that the run-length encoding turns
// into repeat packets, one of them running from the first row into the second.
constexpr int kLayout[3][3] = {{0, 1, 2}, {2, 2, 3}, {4, 4, 4}};

TgaSpec imageOf(const Depth& depth, uint8_t imageType, uint8_t descriptor)
{
    TgaSpec spec;
    spec.imageType = imageType;
    spec.depth = depth.bits;
    spec.width = 3;
    spec.height = 3;
    spec.descriptor = descriptor;
    Bytes raw;
    for (int row = 0; row < 3; ++row) {
        const int y = (descriptor & kTopFirst) ? row : 2 - row;
        for (int x = 0; x < 3; ++x) {
            const Bytes& pixel = depth.pixels[std::size_t(kLayout[y][x])];
            raw.insert(raw.end(), pixel.begin(), pixel.end());
        }
    }
    spec.data = imageType == 10 ? qvtest::tgaRunLength(raw, depth.pixels[0].size()) : raw;
    return spec;
}

std::vector<uint32_t> expectedOf(const Depth& depth)
{
    std::vector<uint32_t> words;
    for (const auto& row : kLayout)
        for (int index : row)
            words.push_back(depth.words[std::size_t(index)]);
    return words;
}

TEST(TGAReader, DecodesEveryDepthAndEncodingEitherWayUp)
{
    for (const Depth& depth : depths()) {
        for (uint8_t imageType : {uint8_t(2), uint8_t(10)}) {
            for (uint8_t descriptor : {uint8_t(0), kTopFirst}) {
                SCOPED_TRACE(std::to_string(depth.bits) + " bits, type " + std::to_string(imageType) +
                             ((descriptor & kTopFirst) ? ", top first" : ", bottom first"));
                const Bytes file = qvtest::writeTGA(imageOf(depth, imageType, descriptor));

                Picture picture;
                ASSERT_TRUE(qvtest::decode(&Picture::readTGA, file, picture, true));
                EXPECT_EQ(picture.getWidth(), 3);
                EXPECT_EQ(picture.getHeight(), 3);
                EXPECT_EQ(qvtest::pixelsOf(picture), expectedOf(depth));
                EXPECT_EQ(picture.hasAlphaChannel(), depth.bTranslucent);

                // Without detection the property keeps what it was.
                Picture undetected;
                undetected.setAlphaChannel(true);
                ASSERT_TRUE(qvtest::decode(&Picture::readTGA, file, undetected, false));
                EXPECT_TRUE(undetected.hasAlphaChannel());
            }
        }
    }
}

TEST(TGAReader, OpaqueThirtyTwoBitPixelsNeedNoAlphaChannel)
{
    TgaSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.data = {1, 2, 3, 0xFF, 4, 5, 6, 0xFF};
    Picture picture;
    picture.setAlphaChannel(true);
    ASSERT_TRUE(qvtest::decode(&Picture::readTGA, qvtest::writeTGA(spec), picture, true));
    EXPECT_EQ(qvtest::pixelsOf(picture), (std::vector<uint32_t>{0xFF030201, 0xFF060504}));
    EXPECT_FALSE(picture.hasAlphaChannel());
}

TEST(TGAReader, SkipsTheIdFieldAndTheColourMap)
{
    const Depth depth = depths()[1];
    struct Case {
        const char* name;
        uint8_t colourMapType;
        uint16_t colourMapLength;
        uint8_t colourMapEntryBits;
    } const cases[] = {
        {"no colour map", 0, 0, 0},
        {"map of 3 entries of 24 bits", 1, 3, 24},
        {"map of 5 entries of 15 bits", 1, 5, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TgaSpec spec = imageOf(depth, 2, kTopFirst);
        spec.id = {'s', 'k', 'i', 'n', '!'};
        spec.colourMapType = c.colourMapType;
        spec.colourMapLength = c.colourMapLength;
        spec.colourMapEntryBits = c.colourMapEntryBits;
        Picture picture;
        ASSERT_TRUE(qvtest::decode(&Picture::readTGA, qvtest::writeTGA(spec), picture));
        EXPECT_EQ(qvtest::pixelsOf(picture), expectedOf(depth));
    }
}

TEST(TGAReader, RunLengthPacketsStopAtTheLastPixel)
{
    TgaSpec spec;
    spec.imageType = 10;
    spec.depth = 24;
    spec.width = 2;
    spec.height = 2;
    // A literal packet of 3 pixels, then a repeat packet of 128 where one pixel is left.
    spec.data = {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0xFF, 4, 4, 4};
    Picture picture;
    ASSERT_TRUE(qvtest::decode(&Picture::readTGA, qvtest::writeTGA(spec), picture));
    EXPECT_EQ(qvtest::pixelsOf(picture), (std::vector<uint32_t>{0xFF010101, 0xFF020202, 0xFF030303, 0xFF040404}));

    // A literal packet longer than the image needs only the pixels the image takes.
    spec.height = 1;
    spec.data = {0x04, 1, 1, 1, 2, 2, 2};
    ASSERT_TRUE(qvtest::decode(&Picture::readTGA, qvtest::writeTGA(spec), picture));
    EXPECT_EQ(qvtest::pixelsOf(picture), (std::vector<uint32_t>{0xFF010101, 0xFF020202}));
}

TEST(TGAReader, IsLittleEndianWhateverTheStreamsByteOrder)
{
    const Depth depth = depths()[2];
    const Bytes file = qvtest::writeTGA(imageOf(depth, 10, 0));
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, const_cast<uint8_t*>(file.data()), file.size());
    stream.setByteOrder(QV::GP::Endian::eBigEndian);
    Picture picture;
    ASSERT_TRUE(picture.readTGA(stream, QV::UIA::PictureProperties::eOrientation(0), true));
    EXPECT_EQ(qvtest::pixelsOf(picture), expectedOf(depth));
}

TEST(TGAReader, FailsOnUnsupportedOrTruncatedFiles)
{
    const Depth depth = depths()[0];
    const Bytes raw = qvtest::writeTGA(imageOf(depth, 2, 0));
    const Bytes rle = qvtest::writeTGA(imageOf(depth, 10, 0));
    auto patched = [&](std::size_t offset, uint8_t value) {
        Bytes file = raw;
        file[offset] = value;
        return file;
    };
    TgaSpec longId = imageOf(depth, 2, 0);
    longId.id.assign(20, 'x');
    Bytes idBeyondTheEnd = qvtest::writeTGA(longId);
    idBeyondTheEnd.resize(18 + 10);
    TgaSpec bigMap = imageOf(depth, 2, 0);
    bigMap.colourMapType = 1;
    bigMap.colourMapLength = 1000;
    bigMap.colourMapEntryBits = 32;
    Bytes mapBeyondTheEnd = qvtest::writeTGA(bigMap);
    mapBeyondTheEnd.resize(18 + 2000);

    struct Malformed {
        const char* name;
        Bytes bytes;
    } const malformed[] = {
        {"empty", {}},
        {"cut in the header", Bytes(raw.begin(), raw.begin() + 10)},
        {"header only", Bytes(raw.begin(), raw.begin() + 18)},
        {"colour-mapped (type 1)", patched(2, 1)},
        {"grey (type 3)", patched(2, 3)},
        {"run-length colour-mapped (type 9)", patched(2, 9)},
        {"8 bits a pixel", patched(16, 8)},
        {"15 bits a pixel", patched(16, 15)},
        {"width 0", patched(12, 0)},
        {"height 0", patched(14, 0)},
        {"uncompressed data one byte short", Bytes(raw.begin(), raw.end() - 1)},
        {"run-length data cut in a packet", Bytes(rle.begin(), rle.end() - 1)},
        {"run-length data without the last packet", Bytes(rle.begin(), rle.end() - 5)},
        {"ID field beyond the end", idBeyondTheEnd},
        {"colour map beyond the end", mapBeyondTheEnd},
    };
    for (const Malformed& m : malformed) {
        SCOPED_TRACE(m.name);
        Picture picture;
        EXPECT_FALSE(qvtest::decode(&Picture::readTGA, m.bytes, picture));
    }
}

TEST(TGAReader, RefusesSizesBeyondTheLimitsOrTheDataBeforeAllocating)
{
    struct Case {
        const char* name;
        uint8_t imageType;
        uint16_t width;
        uint16_t height;
    } const cases[] = {
        {"a crafted header: 4 GiB of pixels", 10, 32768, 32768},
        {"the largest TGA", 10, 65535, 65535},
        {"one side too long", 10, uint16_t(Picture::kMaxSide + 1), 1},
        {"sides fine, bytes too many", 10, uint16_t(Picture::kMaxSide), uint16_t(Picture::kMaxSide)},
        {"run-length data too short for the size", 10, 4096, 4096},
        {"raw data too short for the size", 2, 4096, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TgaSpec spec;
        spec.imageType = c.imageType;
        spec.width = c.width;
        spec.height = c.height;
        spec.data.assign(1000, 0xFF);  // repeat packets of 128 pixels
        Picture picture;
        EXPECT_FALSE(qvtest::decode(&Picture::readTGA, qvtest::writeTGA(spec), picture));
        EXPECT_EQ(picture.getData(), nullptr);
    }
}

}  // namespace
