// Turns a FreeType bitmap into 8-bit coverage rows. The renderer gives 8-bit grey for outlines,
// but an embedded strike comes as it was stored: 1 bit a pixel (most bitmap strikes), 2 or 4 bits,
// grey with fewer levels, or colour with alpha. Each is scaled to 0..255 here, so a glyph is never
// read in a form it does not have.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

namespace QV::UIA::DETAIL {

// Fills out with bitmap.rows rows of bitmap.width coverage bytes, top row first, whatever the
// bitmap's flow (sign of its pitch). False for a pixel mode without coverage (LCD sub-pixels),
// leaving out empty.
bool toCoverage(const FT_Bitmap& bitmap, std::vector<uint8_t>& out);

}  // namespace QV::UIA::DETAIL
