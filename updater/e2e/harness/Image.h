// A picture taken from the X server: 8-bit RGB pixels, row by row, with the few operations the
// end-to-end tests need (crop, a region's colours, PNG output).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace QV::E2E {

struct tRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct tRgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const tRgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const tRgb& other) const { return !(*this == other); }
};

class Image {
public:
    Image() = default;
    Image(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_width == 0 || m_height == 0; }

    tRgb pixel(int x, int y) const;
    void setPixel(int x, int y, tRgb colour);

    // The part inside `rect`, cut to the picture.
    Image crop(tRect rect) const;

    // The colour most pixels of the picture have, and how many of them have it (0..1).
    tRgb dominantColour(double* share = nullptr) const;

    // How many pixels differ between two pictures of one size; -1 when the sizes differ.
    long differingPixels(const Image& other) const;

    // A cheap fingerprint of the pixels (equal pictures, equal fingerprints).
    std::uint64_t fingerprint() const;

    // Writes the picture as a PNG file; false when it cannot.
    bool writePng(const std::string& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<tRgb> m_pixels;
};

}  // namespace QV::E2E
