// What a picture combiner does with each pair of pixel rectangles (PictureCombiner.h).
//
// combineArea(target, rect, source, sourcePoint) works on rect of the target and the rectangle
// of the same size at sourcePoint in the source, both in picture coordinates (origins already
// applied) and both inside their pictures: the combiner clips before it calls. t is the target
// pixel, s the source pixel, c the dye colour; div255(x) = (x + (x >> 8) + 1) >> 8.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"

#include <cstdint>

namespace QV::UIA {

class Picture;

namespace PictureCombinerFunctors {

// The source copied (no alpha channel) or composited over the target (alpha channel), as
// Picture::copyAreaUC does.
struct CopySource {
    void combineArea(Picture& target, const GP::Rect& rect, const Picture& source, GP::Point sourcePoint) const;
};

// m = div255(sA * tA); each colour channel div255(tC * (255 - m) + sC * m); the target's alpha is
// kept. The source shows only where the target has alpha, weighted by both alphas.
struct BlendUsingAlpha {
    void combineArea(Picture& target, const GP::Rect& rect, const Picture& source, GP::Point sourcePoint) const;
};

// The source is only a mask: m = div255(sA * cA); each colour channel div255(tC * (255 - m) +
// cC * m); the target's alpha is kept.
struct DyeUsingAlphaMask {
    explicit DyeUsingAlphaMask(uint32_t colour) : m_colour(colour) {}
    void combineArea(Picture& target, const GP::Rect& rect, const Picture& source, GP::Point sourcePoint) const;

    uint32_t m_colour;
};

}  // namespace PictureCombinerFunctors
}  // namespace QV::UIA
