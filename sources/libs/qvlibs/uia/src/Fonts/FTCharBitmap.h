// One rendered glyph as 8-bit coverage, whatever form FreeType produced it in.
#pragma once

#include <cstdint>
#include <vector>

namespace QV::UIA::DETAIL {

struct FTCharBitmap {
    int advance = 0;  // 26.6 fixed point
    int top = 0;      // rows from the top of the bitmap up to the baseline
    int left = 0;     // columns from the pen position to the bitmap's left edge
    uint32_t width = 0;
    uint32_t rows = 0;
    int pitch = 0;                  // bytes from one row to the next (== width: rows top first, no gap)
    std::vector<uint8_t> coverage;  // 0 = untouched ... 255 = fully covered

    uint8_t coverageAt(uint32_t column, uint32_t row) const { return coverage[std::size_t(row) * pitch + column]; }
};

}  // namespace QV::UIA::DETAIL
