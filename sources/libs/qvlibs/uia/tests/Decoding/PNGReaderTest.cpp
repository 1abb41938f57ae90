// PNG: every colour type and bit depth to B, G, R, A, the alpha-channel decision, and files that
// must fail (truncated, corrupt, or asking for sizes beyond the picture's limits).
#include "DecodingChecks.h"

#include <gtest/gtest.h>

#include <png.h>

#include <string>

namespace {

using QV::UIA::Picture;
using qvtest::Bytes;
using qvtest::PngSpec;

struct PngCase {
    std::string name;
    PngSpec spec;
    std::vector<uint32_t> expected;  // ARGB words, top row first
    bool bAlphaWithDetect;           // the alpha-channel property when asked to detect it
};

PngSpec spec(uint32_t width, uint32_t height, int colourType, int bitDepth, Bytes rows)
{
    PngSpec result;
    result.width = width;
    result.height = height;
    result.colourType = colourType;
    result.bitDepth = bitDepth;
    result.rows = std::move(rows);
    return result;
}

// A 9 x 9 RGBA image, large enough for every Adam7 pass: pixel (x, y) = (x, y, x + y, 0xFF - x).
PngCase interlaced()
{
    PngCase c{"interlaced RGBA", spec(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, {}), {}, true};
    c.spec.bInterlaced = true;
    for (uint32_t y = 0; y < 9; ++y) {
        for (uint32_t x = 0; x < 9; ++x) {
            c.spec.rows.insert(c.spec.rows.end(), {uint8_t(x), uint8_t(y), uint8_t(x + y), uint8_t(0xFF - x)});
            c.expected.push_back((0xFF - x) << 24 | x << 16 | y << 8 | (x + y));
        }
    }
    return c;
}

std::vector<PngCase> cases()
{
    std::vector<PngCase> all;
    all.push_back({"RGB",
                   spec(3, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60, 70, 80, 90}),
                   {0xFF0A141E, 0xFF28323C, 0xFF46505A},
                   false});
    all.push_back({"RGBA with a translucent pixel",
                   spec(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 0xFF, 4, 5, 6, 0x80}),
                   {0xFF010203, 0x80040506},
                   true});
    all.push_back({"RGBA all opaque",
                   spec(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 0xFF, 4, 5, 6, 0xFF}),
                   {0xFF010203, 0xFF040506},
                   false});
    {
        PngCase c{"palette with one translucent entry",
                  spec(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}),
                  {0xFFFF0000, 0x4000FF00, 0xFF0000FF},
                  true};
        c.spec.palette = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}};
        c.spec.paletteAlpha = {0xFF, 0x40};
        all.push_back(c);
    }
    {
        PngCase c{"palette of 2 bits without tRNS",
                  spec(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b00011000}),
                  {0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
                  false};
        c.spec.palette = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}};
        all.push_back(c);
    }
    all.push_back({"grey",
                   spec(2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 0x40, 0x80, 0xFF}),
                   {0xFF000000, 0xFF404040, 0xFF808080, 0xFFFFFFFF},
                   false});
    all.push_back({"grey of 1 bit",
                   spec(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10100000}),
                   {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF},
                   false});
    all.push_back({"grey with alpha",
                   spec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x10, 0xFF, 0x20, 0x00}),
                   {0xFF101010, 0x00202020},
                   true});
    all.push_back({"RGB of 16 bits keeps the high bytes",
                   spec(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
                   {0xFF12569A},
                   false});
    all.push_back({"grey with alpha of 16 bits",
                   spec(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0xAB, 0xCD, 0x7F, 0xFF}),
                   {0x7FABABAB},
                   true});
    {
        // A colour key makes its pixels transparent but does not give the picture an alpha channel.
        PngCase c{"RGB with a colour key",
                  spec(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}),
                  {0xFF010203, 0x00040506},
                  false};
        c.spec.colourKey = std::array<uint16_t, 3>{4, 5, 6};
        all.push_back(c);
    }
    {
        PngCase c{
            "grey with a colour key", spec(2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 8}), {0x00070707, 0xFF080808}, false};
        c.spec.colourKey = std::array<uint16_t, 3>{7, 0, 0};
        all.push_back(c);
    }
    all.push_back(interlaced());
    return all;
}

TEST(PNGReader, DecodesEveryColourTypeToArgbAndDecidesTheAlphaChannel)
{
    for (const PngCase& c : cases()) {
        SCOPED_TRACE(c.name);
        const Bytes file = qvtest::writePNG(c.spec);

        Picture picture;
        ASSERT_TRUE(qvtest::decode(&Picture::readPNG, file, picture, true));
        EXPECT_EQ(picture.getWidth(), int(c.spec.width));
        EXPECT_EQ(picture.getHeight(), int(c.spec.height));
        EXPECT_EQ(qvtest::pixelsOf(picture), c.expected);
        EXPECT_EQ(picture.hasAlphaChannel(), c.bAlphaWithDetect);

        // Without detection the property is cleared, whatever it was.
        Picture undetected;
        undetected.setAlphaChannel(true);
        ASSERT_TRUE(qvtest::decode(&Picture::readPNG, file, undetected, false));
        EXPECT_EQ(qvtest::pixelsOf(undetected), c.expected);
        EXPECT_FALSE(undetected.hasAlphaChannel());
    }
}

TEST(PNGReader, DecodesIntoAPictureThatHadAnotherSize)
{
    const Bytes file = qvtest::writePNG(interlaced().spec);
    Picture picture;
    ASSERT_TRUE(picture.setSize(40, 30));
    picture.setOrigin(QV::GP::Point(3, 4));
    ASSERT_TRUE(qvtest::decode(&Picture::readPNG, file, picture));
    EXPECT_EQ(picture.getWidth(), 9);
    EXPECT_EQ(picture.getHeight(), 9);
    EXPECT_EQ(picture.getCapacity(), 9u * 9u * 4u);
    EXPECT_EQ(picture.getOrigin(), QV::GP::Point(0, 0));
    EXPECT_EQ(qvtest::pixelsOf(picture), interlaced().expected);
}

TEST(PNGReader, FailsOnTruncatedOrCorruptFiles)
{
    for (bool bInterlaced : {false, true}) {
        PngCase c = interlaced();
        c.spec.bInterlaced = bInterlaced;
        const Bytes file = qvtest::writePNG(c.spec);
        Bytes corruptData = file;
        corruptData[corruptData.size() - 20] ^= 0x55;  // inside the image data: its CRC no longer matches

        struct Malformed {
            const char* name;
            Bytes bytes;
        } const malformed[] = {
            {"empty", {}},
            {"signature only", Bytes(file.begin(), file.begin() + 8)},
            {"cut in the header", Bytes(file.begin(), file.begin() + 20)},
            {"cut in the image data", Bytes(file.begin(), file.begin() + file.size() / 2)},
            {"without its end chunk", Bytes(file.begin(), file.end() - 12)},
            {"last byte missing", Bytes(file.begin(), file.end() - 1)},
            {"corrupt image data", corruptData},
            {"not a PNG", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0}},
        };
        for (const Malformed& m : malformed) {
            SCOPED_TRACE(std::string(m.name) + (bInterlaced ? ", interlaced" : ""));
            Picture picture;
            EXPECT_FALSE(qvtest::decode(&Picture::readPNG, m.bytes, picture));
        }
    }
}

TEST(PNGReader, RefusesHugeSizesBeforeAllocating)
{
    struct Case {
        uint32_t width;
        uint32_t height;
    } const cases[] = {
        {32768, 32768},                                              // a crafted header
        {0x7FFFFFFF, 0x7FFFFFFF},                                    // the largest size PNG allows
        {uint32_t(Picture::kMaxSide) + 1, 1},                        // one side too long
        {uint32_t(Picture::kMaxSide), uint32_t(Picture::kMaxSide)},  // sides fine, bytes too many
    };
    const Bytes small = qvtest::writePNG(spec(1, 1, PNG_COLOR_TYPE_GRAY, 8, {0}));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Bytes file = small;
        qvtest::setPNGSize(file, c.width, c.height);
        Picture picture;
        EXPECT_FALSE(qvtest::decode(&Picture::readPNG, file, picture));
        EXPECT_EQ(picture.getData(), nullptr);
    }
}

}  // namespace
