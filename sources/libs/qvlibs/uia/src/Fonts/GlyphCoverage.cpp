#include "Fonts/GlyphCoverage.h"

#include <cstdlib>

namespace QV::UIA::DETAIL {

namespace {

// Value v of `bits` bits at column i of a row, the leftmost pixel in the highest bits of a byte.
inline unsigned packedValue(const unsigned char* row, uint32_t i, unsigned bits)
{
    const unsigned perByte = 8 / bits;
    const unsigned shift = 8 - bits * (1 + i % perByte);
    return (row[i / perByte] >> shift) & ((1u << bits) - 1);
}

}  // namespace

bool toCoverage(const FT_Bitmap& bitmap, std::vector<uint8_t>& out)
{
    out.clear();
    const uint32_t width = bitmap.width;
    const uint32_t rows = bitmap.rows;
    if (width == 0 || rows == 0 || !bitmap.buffer) {
        switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_LCD:
        case FT_PIXEL_MODE_LCD_V: return false;
        default: return true;  // an empty glyph (a space) has no rows in any mode
        }
    }

    // The pitch always steps one row down; with an upward flow the buffer holds the bottom row
    // first, so the top row lies at its far end.
    const long pitch = bitmap.pitch;
    const unsigned char* top = bitmap.buffer;
    if (pitch < 0)
        top -= pitch * long(rows - 1);

    unsigned (*level)(const unsigned char*, uint32_t) = nullptr;
    unsigned maxLevel = 255;
    switch (bitmap.pixel_mode) {
    case FT_PIXEL_MODE_MONO:
        level = [](const unsigned char* row, uint32_t i) { return packedValue(row, i, 1); };
        maxLevel = 1;
        break;
    case FT_PIXEL_MODE_GRAY2:
        level = [](const unsigned char* row, uint32_t i) { return packedValue(row, i, 2); };
        maxLevel = 3;
        break;
    case FT_PIXEL_MODE_GRAY4:
        level = [](const unsigned char* row, uint32_t i) { return packedValue(row, i, 4); };
        maxLevel = 15;
        break;
    case FT_PIXEL_MODE_GRAY:
        level = [](const unsigned char* row, uint32_t i) { return unsigned(row[i]); };
        maxLevel = bitmap.num_grays > 1 ? unsigned(bitmap.num_grays - 1) : 255;
        break;
    case FT_PIXEL_MODE_BGRA:
        // Colour glyphs (emoji): their alpha says what they cover.
        level = [](const unsigned char* row, uint32_t i) { return unsigned(row[std::size_t(i) * 4 + 3]); };
        break;
    default: return false;
    }

    out.resize(std::size_t(width) * rows);
    uint8_t* dst = out.data();
    for (uint32_t r = 0; r < rows; ++r) {
        const unsigned char* row = top + pitch * long(r);
        for (uint32_t i = 0; i < width; ++i) {
            const unsigned v = level(row, i);
            *dst++ = uint8_t(v >= maxLevel ? 255 : (v * 255 + maxLevel / 2) / maxLevel);
        }
    }
    return true;
}

}  // namespace QV::UIA::DETAIL
