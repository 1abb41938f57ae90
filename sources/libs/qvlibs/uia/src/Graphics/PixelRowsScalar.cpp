// The reference row kernels: one pixel at a time, in order, so they also define what happens
// when source and target overlap.
#include "Graphics/PixelRows.h"
#include "Graphics/PixelRules.h"

namespace QV::UIA::PictureSCALAR {

namespace {

void fillLine(uint32_t* dst, int n, uint32_t colour)
{
    for (int i = 0; i < n; ++i)
        dst[i] = colour;
}

void compositeLine(uint32_t* dst, const uint32_t* src, int n)
{
    for (int i = 0; i < n; ++i)
        dst[i] = PixelRules::compositeStandard(src[i], dst[i]);
}

void compositeFillLine(uint32_t* dst, int n, uint32_t colour)
{
    for (int i = 0; i < n; ++i)
        dst[i] = PixelRules::compositeStandard(colour, dst[i]);
}

void blendLine(uint32_t* dst, const uint32_t* src, int n)
{
    for (int i = 0; i < n; ++i)
        dst[i] = PixelRules::blendUsingAlpha(src[i], dst[i]);
}

void dyeLine(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour)
{
    for (int i = 0; i < n; ++i)
        dst[i] = PixelRules::dyeUsingAlphaMask(mask[i], dst[i], colour);
}

}  // namespace

const tRowKernels kKernels = {&fillLine, &compositeLine, &compositeFillLine, &blendLine, &dyeLine};

}  // namespace QV::UIA::PictureSCALAR
