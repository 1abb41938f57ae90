// Helpers of the picture tests: small pictures filled with known or random pixels, and their
// pixels as a vector for whole-picture comparisons.
#pragma once

#include "UIA/Picture.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <random>
#include <vector>

namespace qvtest {

inline std::unique_ptr<QV::UIA::Picture> makePicture(int width, int height, uint32_t fill)
{
    auto picture = std::make_unique<QV::UIA::Picture>();
    picture->setSize(width, height, true);
    picture->clear(fill);
    return picture;
}

// Pixel (x, y) = 0xFF000000 | (y << 8) | x: every pixel tells where it came from.
inline std::unique_ptr<QV::UIA::Picture> makeCoordinatePicture(int width, int height)
{
    auto picture = makePicture(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->getData()[y * width + x] = 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
    return picture;
}

inline void fillRandom(QV::UIA::Picture& picture, std::mt19937& random)
{
    // Mostly arbitrary words, with runs of the alpha values that take the shortcuts (0, 255).
    std::uniform_int_distribution<uint32_t> word;
    for (int i = 0; i < picture.getWidth() * picture.getHeight(); ++i) {
        uint32_t pixel = word(random);
        switch (pixel % 7) {
        case 0: pixel |= 0xFF000000u; break;
        case 1: pixel &= 0x00FFFFFFu; break;
        default: break;
        }
        picture.getData()[i] = pixel;
    }
}

inline std::vector<uint32_t> pixelsOf(const QV::UIA::Picture& picture)
{
    return std::vector<uint32_t>(picture.getData(), picture.getData() + picture.getWidth() * picture.getHeight());
}

// The pixels that differ from fill, as (x, y, pixel) triples, for compact failure messages.
struct tChanged {
    int x;
    int y;
    uint32_t pixel;
    bool operator==(const tChanged& o) const { return x == o.x && y == o.y && pixel == o.pixel; }
};

inline std::ostream& operator<<(std::ostream& out, const tChanged& c)
{
    return out << "(" << c.x << ", " << c.y << ": 0x" << std::hex << c.pixel << std::dec << ")";
}

inline std::vector<tChanged> changedPixels(const QV::UIA::Picture& picture, uint32_t fill)
{
    std::vector<tChanged> result;
    for (int y = 0; y < picture.getHeight(); ++y)
        for (int x = 0; x < picture.getWidth(); ++x)
            if (picture.getPixel(x, y) != fill)
                result.push_back({x, y, picture.getPixel(x, y)});
    return result;
}

}  // namespace qvtest
