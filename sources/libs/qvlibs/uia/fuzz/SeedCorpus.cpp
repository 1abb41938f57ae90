// Writes the picture reader fuzzers' seed corpus: a few small valid files of each format, in
// <folder>/png, <folder>/jpg and <folder>/tga. Usage: qv_uia_fuzz_seeds <folder>
#include "ImageFileWriters.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using qvtest::Bytes;

bool save(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes)
{
    std::filesystem::create_directories(folder);
    std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

// A w x h gradient of `channels` bytes a pixel.
Bytes gradient(int width, int height, int channels)
{
    Bytes samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                samples.push_back(uint8_t(x * 16 + y * 8 + c * 64));
    return samples;
}

bool writePNGSeeds(const std::filesystem::path& folder)
{
    qvtest::PngSpec rgba;
    rgba.width = 8;
    rgba.height = 8;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.bInterlaced = true;
    rgba.rows = gradient(8, 8, 4);

    qvtest::PngSpec palette;
    palette.width = 4;
    palette.height = 2;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.rows = {0, 1, 2, 1, 2, 1, 0, 0};
    palette.palette = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}};
    palette.paletteAlpha = {0xFF, 0x40};

    qvtest::PngSpec grey16;
    grey16.width = 3;
    grey16.height = 2;
    grey16.colourType = PNG_COLOR_TYPE_GRAY;
    grey16.bitDepth = 16;
    grey16.rows = gradient(6, 2, 1);
    grey16.colourKey = std::array<uint16_t, 3>{0x1008, 0, 0};

    return save(folder, "rgba-interlaced.png", qvtest::writePNG(rgba)) &&
           save(folder, "palette-trns.png", qvtest::writePNG(palette)) &&
           save(folder, "grey16-key.png", qvtest::writePNG(grey16));
}

bool writeJPEGSeeds(const std::filesystem::path& folder)
{
    qvtest::JpegSpec colour;
    colour.width = 16;
    colour.height = 8;
    colour.samples = gradient(16, 8, 3);

    qvtest::JpegSpec progressive = colour;
    progressive.bProgressive = true;

    qvtest::JpegSpec withProfile = colour;
    withProfile.stored = JCS_RGB;
    withProfile.app2 = qvtest::iccChunks(qvtest::swappedPrimariesRGBProfile(), 2);

    qvtest::JpegSpec cmyk;
    cmyk.width = 8;
    cmyk.height = 8;
    cmyk.input = JCS_CMYK;
    cmyk.stored = JCS_YCCK;
    cmyk.samples = gradient(8, 8, 4);
    cmyk.app2 = qvtest::iccChunks(qvtest::constantCMYKProfile(0x20, 0x80, 0xC0), 1);

    qvtest::JpegSpec grey;
    grey.width = 8;
    grey.height = 8;
    grey.input = JCS_GRAYSCALE;
    grey.stored = JCS_GRAYSCALE;
    grey.samples = gradient(8, 8, 1);

    return save(folder, "ycbcr.jpg", qvtest::writeJPEG(colour)) &&
           save(folder, "progressive.jpg", qvtest::writeJPEG(progressive)) &&
           save(folder, "rgb-icc.jpg", qvtest::writeJPEG(withProfile)) &&
           save(folder, "ycck-icc.jpg", qvtest::writeJPEG(cmyk)) && save(folder, "grey.jpg", qvtest::writeJPEG(grey));
}

bool writeTGASeeds(const std::filesystem::path& folder)
{
    bool bSaved = true;
    for (uint8_t depth : {uint8_t(32), uint8_t(24), uint8_t(16)}) {
        const Bytes pixels = gradient(4, 3, depth / 8);
        qvtest::TgaSpec raw;
        raw.depth = depth;
        raw.width = 4;
        raw.height = 3;
        raw.descriptor = 0;
        raw.data = pixels;
        qvtest::TgaSpec rle = raw;
        rle.imageType = 10;
        rle.descriptor = 0x20;
        rle.id = {'i', 'd'};
        rle.data = qvtest::tgaRunLength(pixels, depth / 8);
        std::string const name = std::to_string(depth);
        bSaved = bSaved && save(folder, name + "-raw.tga", qvtest::writeTGA(raw)) &&
                 save(folder, name + "-rle.tga", qvtest::writeTGA(rle));
    }
    return bSaved;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    std::filesystem::path const folder(argv[1]);
    if (!writePNGSeeds(folder / "png") || !writeJPEGSeeds(folder / "jpg") || !writeTGASeeds(folder / "tga")) {
        std::fprintf(stderr, "%s: cannot write the seeds into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
