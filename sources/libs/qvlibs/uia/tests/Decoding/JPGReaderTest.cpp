// JPEG: every colour space to opaque B, G, R, A; embedded ICC profiles (split into chunks, in any
// order) converting RGB and CMYK to sRGB; CMYK without a profile; and files that must fail
// (truncated, oversized, unusable profiles, endless progressions).
#include "DecodingChecks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::UIA::Picture;
using qvtest::Bytes;
using qvtest::JpegSpec;

constexpr int kWidth = 32;
constexpr int kHeight = 16;
// Quality 100 without subsampling still rounds through the DCT; colour conversions add more.
constexpr int kLossless = 3;
constexpr int kThroughProfile = 12;

// A 32 x 16 image whose left and right halves (one 16 x 16 block each) are flat.
JpegSpec halves(J_COLOR_SPACE input, J_COLOR_SPACE stored, const Bytes& left, const Bytes& right)
{
    JpegSpec spec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.input = input;
    spec.stored = stored;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            spec.samples.insert(spec.samples.end(), x < kWidth / 2 ? left.begin() : right.begin(),
                                x < kWidth / 2 ? left.end() : right.end());
    return spec;
}

JpegSpec redAndBlue(J_COLOR_SPACE stored) { return halves(JCS_RGB, stored, {0xFF, 0, 0}, {0, 0, 0xFF}); }

// Every pixel of the left half near `left`, of the right half near `right`, all alpha 0xFF.
void expectHalves(const Picture& picture, uint32_t left, uint32_t right, int tolerance)
{
    ASSERT_EQ(picture.getWidth(), kWidth);
    ASSERT_EQ(picture.getHeight(), kHeight);
    int worstLeft = 0;
    int worstRight = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t pixel = picture.getPixel(x, y);
            ASSERT_EQ(pixel >> 24, 0xFFu) << x << ", " << y;
            int& worst = x < kWidth / 2 ? worstLeft : worstRight;
            worst = std::max(worst, qvtest::channelDistance(pixel, x < kWidth / 2 ? left : right));
        }
    }
    EXPECT_LE(worstLeft, tolerance) << std::hex << "left " << picture.getPixel(0, 0) << " wanted " << left;
    EXPECT_LE(worstRight, tolerance) << std::hex << "right " << picture.getPixel(kWidth - 1, 0) << " wanted " << right;
}

struct ColourCase {
    const char* name;
    JpegSpec spec;
    uint32_t left;
    uint32_t right;
};

std::vector<ColourCase> colourCases()
{
    std::vector<ColourCase> all;
    all.push_back({"YCbCr", redAndBlue(JCS_YCbCr), 0xFFFF0000, 0xFF0000FF});
    {
        ColourCase c{"YCbCr progressive", redAndBlue(JCS_YCbCr), 0xFFFF0000, 0xFF0000FF};
        c.spec.bProgressive = true;
        all.push_back(c);
    }
    all.push_back({"RGB", halves(JCS_RGB, JCS_RGB, {0xFF, 0x80, 0}, {0, 0x40, 0xFF}), 0xFFFF8000, 0xFF0040FF});
    all.push_back({"grey", halves(JCS_GRAYSCALE, JCS_GRAYSCALE, {0x40}, {0xC0}), 0xFF404040, 0xFFC0C0C0});
    // CMYK samples are ink amounts; an Adobe marker says they are stored as 255 minus the ink.
    {
        ColourCase c{"CMYK: cyan; yellow with half black",
                     halves(JCS_CMYK, JCS_CMYK, {0xFF, 0, 0, 0}, {0, 0, 0xFF, 0x80}), 0xFF00FFFF, 0xFF7F7F00};
        c.spec.bAdobeMarker = false;
        all.push_back(c);
    }
    all.push_back({"inverted CMYK: magenta; half black",
                   halves(JCS_CMYK, JCS_CMYK, {0xFF, 0, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0x7F}), 0xFFFF00FF,
                   0xFF7F7F7F});
    all.push_back({"YCCK: magenta; half black",
                   halves(JCS_CMYK, JCS_YCCK, {0xFF, 0, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0x7F}), 0xFFFF00FF,
                   0xFF7F7F7F});
    return all;
}

TEST(JPGReader, DecodesEveryColourSpaceToOpaquePixels)
{
    for (const ColourCase& c : colourCases()) {
        SCOPED_TRACE(c.name);
        Picture picture;
        ASSERT_TRUE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(c.spec), picture));
        expectHalves(picture, c.left, c.right, kLossless);
    }
}

TEST(JPGReader, ClearsTheAlphaChannelOnlyWhenAskedToDetectIt)
{
    const Bytes file = qvtest::writeJPEG(redAndBlue(JCS_YCbCr));
    Picture detected;
    detected.setAlphaChannel(true);
    ASSERT_TRUE(qvtest::decode(&Picture::readJPG, file, detected, true));
    EXPECT_FALSE(detected.hasAlphaChannel());

    Picture undetected;
    undetected.setAlphaChannel(true);
    ASSERT_TRUE(qvtest::decode(&Picture::readJPG, file, undetected, false));
    EXPECT_TRUE(undetected.hasAlphaChannel());
}

// The swapped profile's red is sRGB's blue and its blue sRGB's red.
TEST(JPGReader, ConvertsRGBThroughAProfileSplitIntoChunksInAnyOrder)
{
    const std::vector<Bytes> chunks = qvtest::iccChunks(qvtest::swappedPrimariesRGBProfile(), 3);
    ASSERT_EQ(chunks.size(), 3u);
    struct Case {
        const char* name;
        std::vector<Bytes> markers;
    } const cases[] = {
        {"in order", chunks},
        {"shuffled", {chunks[2], chunks[0], chunks[1]}},
        {"one chunk", qvtest::iccChunks(qvtest::swappedPrimariesRGBProfile(), 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JpegSpec spec = redAndBlue(JCS_RGB);
        spec.app2 = c.markers;
        Picture picture;
        ASSERT_TRUE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(spec), picture));
        expectHalves(picture, 0xFF0000FF, 0xFFFF0000, kThroughProfile);
    }
}

TEST(JPGReader, ShowsDataWithoutConversionWhenTheProfileDoesNotApply)
{
    const Bytes profile = qvtest::swappedPrimariesRGBProfile();
    std::vector<Bytes> inconsistent = qvtest::iccChunks(profile, 2);
    inconsistent[1][13] = 3;  // the second chunk claims three chunks

    struct Case {
        const char* name;
        J_COLOR_SPACE stored;
        std::vector<Bytes> markers;
    } const cases[] = {
        {"chunks that disagree on their number", JCS_RGB, inconsistent},
        {"a chunk missing", JCS_RGB, {qvtest::iccChunks(profile, 2)[0]}},
        {"YCbCr data", JCS_YCbCr, qvtest::iccChunks(profile, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JpegSpec spec = redAndBlue(c.stored);
        spec.app2 = c.markers;
        Picture picture;
        ASSERT_TRUE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(spec), picture));
        expectHalves(picture, 0xFFFF0000, 0xFF0000FF, kLossless);
    }
}

TEST(JPGReader, ConvertsCMYKThroughItsProfileInBothFlavours)
{
    const Bytes profile = qvtest::constantCMYKProfile(0x20, 0xC0, 0x40);
    for (bool bAdobe : {true, false}) {
        SCOPED_TRACE(bAdobe ? "inverted" : "plain");
        JpegSpec spec = halves(JCS_CMYK, JCS_CMYK, {0xFF, 0, 0, 0}, {0, 0, 0xFF, 0x80});
        spec.bAdobeMarker = bAdobe;
        spec.app2 = qvtest::iccChunks(profile, 2);
        Picture picture;
        ASSERT_TRUE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(spec), picture));
        expectHalves(picture, 0xFF20C040, 0xFF20C040, kThroughProfile);
    }

    // Grey data ignore any profile.
    JpegSpec grey = halves(JCS_GRAYSCALE, JCS_GRAYSCALE, {0x40}, {0xC0});
    grey.app2 = qvtest::iccChunks(profile, 1);
    Picture picture;
    ASSERT_TRUE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(grey), picture));
    expectHalves(picture, 0xFF404040, 0xFFC0C0C0, kLossless);
}

TEST(JPGReader, FailsOnAProfileThatCannotBeUsed)
{
    Bytes garbage(600, 0x5A);
    struct Case {
        const char* name;
        JpegSpec spec;
    };
    std::vector<Case> cases = {
        {"RGB data with a CMYK profile", redAndBlue(JCS_RGB)},
        {"RGB data with an unreadable profile", redAndBlue(JCS_RGB)},
        {"CMYK data with an RGB profile", halves(JCS_CMYK, JCS_CMYK, {0, 0, 0, 0}, {0, 0, 0, 0})},
    };
    cases[0].spec.app2 = qvtest::iccChunks(qvtest::constantCMYKProfile(0, 0, 0), 2);
    cases[1].spec.app2 = qvtest::iccChunks(garbage, 2);
    cases[2].spec.app2 = qvtest::iccChunks(qvtest::swappedPrimariesRGBProfile(), 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        EXPECT_FALSE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(c.spec), picture));
    }
}

TEST(JPGReader, FailsOnTruncatedFiles)
{
    // With a profile, a failure in the middle of the data also has a colour transform to free.
    JpegSpec withProfile = redAndBlue(JCS_RGB);
    withProfile.app2 = qvtest::iccChunks(qvtest::swappedPrimariesRGBProfile(), 2);
    JpegSpec progressive = redAndBlue(JCS_YCbCr);
    progressive.bProgressive = true;

    for (const JpegSpec& spec : {redAndBlue(JCS_YCbCr), withProfile, progressive}) {
        const Bytes file = qvtest::writeJPEG(spec);
        struct Malformed {
            const char* name;
            Bytes bytes;
        } const malformed[] = {
            {"empty", {}},
            {"start marker only", Bytes(file.begin(), file.begin() + 2)},
            {"cut in the headers", Bytes(file.begin(), file.begin() + 30)},
            {"cut in the image data", Bytes(file.begin(), file.end() - 40)},
            {"without its end marker", Bytes(file.begin(), file.end() - 2)},
        };
        for (const Malformed& m : malformed) {
            SCOPED_TRACE(m.name);
            Picture picture;
            EXPECT_FALSE(qvtest::decode(&Picture::readJPG, m.bytes, picture));
        }
    }
}

TEST(JPGReader, RefusesHugeSizesBeforeAllocating)
{
    struct Case {
        uint16_t width;
        uint16_t height;
    } const cases[] = {
        {65000, 65000},
        {uint16_t(Picture::kMaxSide + 1), 16},
        {uint16_t(Picture::kMaxSide), uint16_t(Picture::kMaxSide)},
    };
    const Bytes small = qvtest::writeJPEG(redAndBlue(JCS_YCbCr));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Bytes file = small;
        qvtest::setJPEGSize(file, c.width, c.height);
        Picture picture;
        EXPECT_FALSE(qvtest::decode(&Picture::readJPG, file, picture));
        EXPECT_EQ(picture.getData(), nullptr);
    }
}

// A grey progressive script: the DC coefficient, then each AC coefficient on its own, each of them
// refined bit by bit from bit `firstBit` down.
std::vector<jpeg_scan_info> singleCoefficientScript(int firstBit)
{
    std::vector<jpeg_scan_info> scans;
    for (int k = 0; k < 64; ++k) {
        scans.push_back({1, {0, 0, 0, 0}, k, k, 0, firstBit});
        for (int bit = firstBit; bit > 0; --bit)
            scans.push_back({1, {0, 0, 0, 0}, k, k, bit, bit - 1});
    }
    return scans;
}

TEST(JPGReader, BoundsTheNumberOfProgressiveScans)
{
    JpegSpec spec = halves(JCS_GRAYSCALE, JCS_GRAYSCALE, {0x40}, {0xC0});
    spec.scans = singleCoefficientScript(0);  // 64 scans
    Picture picture;
    ASSERT_TRUE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(spec), picture));
    expectHalves(picture, 0xFF404040, 0xFFC0C0C0, kLossless);

    spec.scans = singleCoefficientScript(10);  // 704 scans
    EXPECT_FALSE(qvtest::decode(&Picture::readJPG, qvtest::writeJPEG(spec), picture));
}

}  // namespace
