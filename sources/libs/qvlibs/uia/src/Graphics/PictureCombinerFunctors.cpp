// The combiners' functors: each runs a row kernel (PixelRows.h) over the rows of its rectangle.
#include "UIA/PictureCombinerFunctors.h"

#include "Graphics/PixelRows.h"
#include "UIA/Picture.h"

namespace QV::UIA::PictureCombinerFunctors {

void CopySource::combineArea(Picture& target, const GP::Rect& rect, const Picture& source, GP::Point sourcePoint) const
{
    target.copyAbsolute(rect.left, rect.top, rect.width(), rect.height(), source, sourcePoint.x, sourcePoint.y);
}

void BlendUsingAlpha::combineArea(Picture& target, const GP::Rect& rect, const Picture& source,
                                  GP::Point sourcePoint) const
{
    if (rect.isEmpty())
        return;
    for (int row = 0; row < rect.height(); ++row) {
        uint32_t* dst = target.getData() + std::ptrdiff_t(rect.top + row) * target.getWidth() + rect.left;
        const uint32_t* src =
            source.getData() + std::ptrdiff_t(sourcePoint.y + row) * source.getWidth() + sourcePoint.x;
        PixelRows::blendLine(dst, src, rect.width());
    }
}

void DyeUsingAlphaMask::combineArea(Picture& target, const GP::Rect& rect, const Picture& source,
                                    GP::Point sourcePoint) const
{
    if (rect.isEmpty())
        return;
    for (int row = 0; row < rect.height(); ++row) {
        uint32_t* dst = target.getData() + std::ptrdiff_t(rect.top + row) * target.getWidth() + rect.left;
        const uint32_t* mask =
            source.getData() + std::ptrdiff_t(sourcePoint.y + row) * source.getWidth() + sourcePoint.x;
        PixelRows::dyeLine(dst, mask, rect.width(), m_colour);
    }
}

}  // namespace QV::UIA::PictureCombinerFunctors
