// Why a picture could not be read: the reason of the format the data carry (a PNG or JPEG cut short,
// a checksum that does not fit, a TGA of a depth that is not read), and what readDetect says when
// the data are empty or of no known format.
#include "DecodingChecks.h"

#include <gtest/gtest.h>

#include <png.h>

#include <string>

namespace {

using QV::UIA::Picture;
using qvtest::Bytes;

std::string whyNotRead(Bytes file)
{
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, file.data(), file.size());
    Picture picture;
    std::string why = "(not set)";
    EXPECT_FALSE(picture.readDetect(stream, QV::UIA::PictureProperties::eOrientation(0), true, &why));
    return why;
}

Bytes cutTo(Bytes file, std::size_t size)
{
    file.resize(size);
    return file;
}

TEST(DecodeFailure, SaysWhyForEachFormat)
{
    qvtest::PngSpec png;
    png.width = 16;
    png.height = 16;
    png.colourType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < 16 * 16 * 3; ++i)
        png.rows.push_back(uint8_t(i * 37 + i / 5));
    const Bytes pngFile = qvtest::writePNG(png);
    Bytes badChecksum = pngFile;
    badChecksum[16 + 3] ^= 0x01;  // the IHDR's width, its CRC left as it was

    qvtest::JpegSpec jpeg;
    jpeg.width = 16;
    jpeg.height = 16;
    jpeg.input = JCS_GRAYSCALE;
    jpeg.stored = JCS_GRAYSCALE;
    for (int i = 0; i < 16 * 16; ++i)
        jpeg.samples.push_back(uint8_t(i * 53));
    const Bytes jpegFile = qvtest::writeJPEG(jpeg);

    qvtest::TgaSpec tga;
    tga.depth = 24;
    tga.width = 4;
    tga.height = 4;
    tga.data.assign(4 * 4 * 3, 0x40);
    const Bytes tgaFile = qvtest::writeTGA(tga);
    qvtest::TgaSpec tga8 = tga;
    tga8.depth = 8;

    const struct {
        const char* name;
        Bytes file;
        std::string why;
    } cases[] = {
        {"PNG cut short", cutTo(pngFile, pngFile.size() * 2 / 3), "PNG: unexpected end of data"},
        {"PNG with a wrong checksum", badChecksum, "PNG: IHDR: CRC error"},
        {"PNG signature alone", cutTo(pngFile, 8), "PNG: unexpected end of data"},
        {"JPEG cut short", cutTo(jpegFile, jpegFile.size() * 2 / 3), "JPEG: Premature end of input file"},
        {"TGA cut short", cutTo(tgaFile, tgaFile.size() - 5), "TGA: the data end early"},
        {"TGA of 8 bits", qvtest::writeTGA(tga8), "TGA: 8 bits per pixel are not read"},
        {"empty", {}, "empty file"},
        {"text", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e', '\n', 0, 0, 0, 0, 0, 0},
         "not a PNG, JPEG or TGA picture"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(whyNotRead(c.file), c.why) << c.name;
}

}  // namespace
