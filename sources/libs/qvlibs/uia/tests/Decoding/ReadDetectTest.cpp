// readDetect: each format found from the stream's position, whatever attempts failed before it.
#include "DecodingChecks.h"

#include <gtest/gtest.h>

#include <png.h>

namespace {

using QV::UIA::Picture;
using qvtest::Bytes;

// The files sit after a few bytes of something else; the stream starts at the file.
bool detectAt(const Bytes& file, Picture& picture)
{
    Bytes buffer = {'j', 'u', 'n', 'k', 0};
    buffer.insert(buffer.end(), file.begin(), file.end());
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, buffer.data(), buffer.size());
    stream.storage().seek64(5, QV::GP::IStorage::eSeekFromStart);
    return picture.readDetect(stream, QV::UIA::PictureProperties::eOrientation(0), true);
}

TEST(ReadDetect, FindsEachFormatFromTheStreamsPosition)
{
    qvtest::PngSpec png;
    png.width = 2;
    png.height = 1;
    png.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    png.rows = {1, 2, 3, 0x80, 4, 5, 6, 0xFF};

    qvtest::JpegSpec jpeg;
    jpeg.width = 8;
    jpeg.height = 8;
    jpeg.input = JCS_GRAYSCALE;
    jpeg.stored = JCS_GRAYSCALE;
    jpeg.samples.assign(64, 0x80);

    // The TGA is tried last: it decodes only when the stream went back to its start each time.
    qvtest::TgaSpec tga;
    tga.depth = 24;
    tga.width = 2;
    tga.height = 1;
    tga.data = {1, 2, 3, 4, 5, 6};

    struct Case {
        const char* name;
        Bytes file;
        uint32_t firstPixel;
        bool bAlphaChannel;
    } const cases[] = {
        {"PNG", qvtest::writePNG(png), 0x80010203, true},
        {"JPEG", qvtest::writeJPEG(jpeg), 0xFF808080, false},
        {"TGA", qvtest::writeTGA(tga), 0xFF030201, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        picture.setAlphaChannel(!c.bAlphaChannel);
        ASSERT_TRUE(detectAt(c.file, picture));
        EXPECT_EQ(picture.getPixel(0, 0), c.firstPixel);
        EXPECT_EQ(picture.hasAlphaChannel(), c.bAlphaChannel);
    }
}

TEST(ReadDetect, FailsOnWhatNoReaderTakesAndOnAStreamWithoutStorage)
{
    Picture picture;
    EXPECT_FALSE(detectAt(Bytes(64, 0xEE), picture));
    EXPECT_FALSE(detectAt({}, picture));

    QV::GP::MemoryStream stream;
    stream.setStorage(nullptr);
    EXPECT_FALSE(picture.readDetect(stream, QV::UIA::PictureProperties::eOrientation(0), true));
}

}  // namespace
