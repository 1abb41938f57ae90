// Row kernels: the hot loops of pictures and combiners over runs of n pixels (n may be 0).
// PictureSCALAR is the reference, one pixel at a time by the rules of PixelRules.h; PictureSSE2
// does four pixels per step (the rest one by one) and gives the same words. The functions of
// PixelRows pick SSE2 when it is switched on (the default), the run has at least four pixels and
// source and target do not overlap; a benchmark or a test may switch it off to time or check the
// scalar path.
#pragma once

#include <cstdint>

namespace QV::UIA {

namespace PictureSCALAR {
// Stores colour in every pixel.
void fillLine(uint32_t* dst, int n, uint32_t colour);
// dst[i] = compositeStandard(src[i], dst[i]).
void compositeLine(uint32_t* dst, uint32_t const* src, int n);
// dst[i] = compositeStandard(colour, dst[i]).
void compositeFillLine(uint32_t* dst, int n, uint32_t colour);
// dst[i] = blendUsingAlpha(src[i], dst[i]).
void blendLine(uint32_t* dst, uint32_t const* src, int n);
// dst[i] = dyeUsingAlphaMask(mask[i], dst[i], colour).
void dyeLine(uint32_t* dst, uint32_t const* mask, int n, uint32_t colour);
}  // namespace PictureSCALAR

// The same with SSE2; src and dst must not overlap. Scalar where SSE2 does not exist.
namespace PictureSSE2 {
void fillLine(uint32_t* dst, int n, uint32_t colour);
void compositeLine(uint32_t* dst, uint32_t const* src, int n);
void compositeFillLine(uint32_t* dst, int n, uint32_t colour);
void blendLine(uint32_t* dst, uint32_t const* src, int n);
void dyeLine(uint32_t* dst, uint32_t const* mask, int n, uint32_t colour);
}  // namespace PictureSSE2

namespace PixelRows {

// Whether the SSE2 kernels are used (true by default; main thread only, like pictures).
void setVectorised(bool bVectorised);
bool isVectorised();

void fillLine(uint32_t* dst, int n, uint32_t colour);
void compositeLine(uint32_t* dst, uint32_t const* src, int n);
void compositeFillLine(uint32_t* dst, int n, uint32_t colour);
void blendLine(uint32_t* dst, uint32_t const* src, int n);
void dyeLine(uint32_t* dst, uint32_t const* mask, int n, uint32_t colour);

}  // namespace PixelRows
}  // namespace QV::UIA
