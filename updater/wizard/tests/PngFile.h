// A PNG file read back as 0xAARRGGBB pixels, for tests that look at what a tool painted.
#pragma once

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace QVTest {

struct tImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// An empty image (width 0) when the file cannot be read.
inline tImage readPNG(const std::filesystem::path& path)
{
    tImage result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return result;
    image.format = PNG_FORMAT_BGRA;
    result.pixels.resize(std::size_t(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, result.pixels.data(), 0, nullptr)) {
        result.width = int(image.width);
        result.height = int(image.height);
    }
    png_image_free(&image);
    return result;
}

}  // namespace QVTest
