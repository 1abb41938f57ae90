#include "Graphics/PixelRows.h"

namespace QV::UIA::PixelRows {

namespace {

bool s_bVectorised = true;

// Whether [a, a + n) and [b, b + n) share a pixel; compared as addresses, as the pointers may
// belong to different pictures.
bool overlaps(uint32_t const* a, uint32_t const* b, int n)
{
    auto const pa = reinterpret_cast<uintptr_t>(a);
    auto const pb = reinterpret_cast<uintptr_t>(b);
    uintptr_t const bytes = uintptr_t(n) * sizeof(uint32_t);
    return pa < pb + bytes && pb < pa + bytes;
}

bool useSSE2(int n) { return s_bVectorised && n >= 4; }
bool useSSE2(uint32_t const* dst, uint32_t const* src, int n) { return useSSE2(n) && !overlaps(dst, src, n); }

}  // namespace

void setVectorised(bool bVectorised) { s_bVectorised = bVectorised; }
bool isVectorised() { return s_bVectorised; }

void fillLine(uint32_t* dst, int n, uint32_t colour)
{
    if (useSSE2(n))
        PictureSSE2::fillLine(dst, n, colour);
    else
        PictureSCALAR::fillLine(dst, n, colour);
}

void compositeLine(uint32_t* dst, uint32_t const* src, int n)
{
    if (useSSE2(dst, src, n))
        PictureSSE2::compositeLine(dst, src, n);
    else
        PictureSCALAR::compositeLine(dst, src, n);
}

void compositeFillLine(uint32_t* dst, int n, uint32_t colour)
{
    if (useSSE2(n))
        PictureSSE2::compositeFillLine(dst, n, colour);
    else
        PictureSCALAR::compositeFillLine(dst, n, colour);
}

void blendLine(uint32_t* dst, uint32_t const* src, int n)
{
    if (useSSE2(dst, src, n))
        PictureSSE2::blendLine(dst, src, n);
    else
        PictureSCALAR::blendLine(dst, src, n);
}

void dyeLine(uint32_t* dst, uint32_t const* mask, int n, uint32_t colour)
{
    if (useSSE2(dst, mask, n))
        PictureSSE2::dyeLine(dst, mask, n, colour);
    else
        PictureSCALAR::dyeLine(dst, mask, n, colour);
}

}  // namespace QV::UIA::PixelRows
