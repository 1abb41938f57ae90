// The advance of a glyph in whole pixels; a missing glyph advances nothing.
#pragma once

#include "Fonts/FTCharBitmap.h"

#include <cmath>

namespace QV::UIA::DETAIL {

inline int advancePixels(const FTCharBitmap* glyph) { return glyph ? int(std::lrint(glyph->advance / 64.0)) : 0; }

}  // namespace QV::UIA::DETAIL
