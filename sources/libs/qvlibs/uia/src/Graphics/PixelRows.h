// Row kernels: the hot loops of pictures and combiners over runs of n pixels (n may be 0), one
// table of function pointers per kernel set. PictureSCALAR is the reference, one pixel at a time by
// the rules of PixelRules.h; PictureSSE2 (four pixels per step) and PictureAVX2 (eight) give the
// same words for runs of any length. The functions of PixelRows run the set chosen with setKernels
// (by default the best this processor runs) unless source and target overlap, where the scalar
// order defines the result; a benchmark or a test may choose a set to time or check it.
#pragma once

#include <cstdint>

namespace QV::UIA {

// One kernel set: the five row kernels of one instruction set, each over a run of n pixels.
struct tRowKernels {
    // Stores colour in every pixel.
    void (*fillLine)(uint32_t* dst, int n, uint32_t colour);
    // dst[i] = compositeStandard(src[i], dst[i]).
    void (*compositeLine)(uint32_t* dst, const uint32_t* src, int n);
    // dst[i] = compositeStandard(colour, dst[i]).
    void (*compositeFillLine)(uint32_t* dst, int n, uint32_t colour);
    // dst[i] = blendUsingAlpha(src[i], dst[i]).
    void (*blendLine)(uint32_t* dst, const uint32_t* src, int n);
    // dst[i] = dyeUsingAlphaMask(mask[i], dst[i], colour).
    void (*dyeLine)(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour);
};

// The reference, one pixel at a time and in order: it also defines the result when source and
// target overlap.
namespace PictureSCALAR {
extern const tRowKernels kKernels;
}

// Four pixels per step; src and dst must not overlap. The scalar kernels where SSE2 does not exist.
namespace PictureSSE2 {
extern const tRowKernels kKernels;
}

// Eight pixels per step; src and dst must not overlap. Only to be run while
// PixelRows::isSupported(eAVX2Kernels); the SSE2 kernels stand in where the compiler cannot build
// AVX2 code.
namespace PictureAVX2 {
extern const tRowKernels kKernels;
}

namespace PixelRows {

// The kernel sets, slowest first.
enum eKernels : int {
    eScalarKernels,
    eSSE2Kernels,
    eAVX2Kernels
};

// Whether this machine runs the set: the scalar one always, SSE2 on every x86-64, AVX2 when the
// processor and the system have it (asked once).
bool isSupported(eKernels kernels);
// The fastest supported set: the default.
eKernels bestKernels();
// The table of a set, supported or not (check isSupported before running it).
const tRowKernels& rowKernels(eKernels kernels);

// Chooses the kernels of the functions below (main thread only, like pictures); a set the
// machine cannot run gives way to the best one it can. Returns the set now in use.
eKernels setKernels(eKernels kernels);
eKernels kernels();

// setKernels(bestKernels()) when true, setKernels(eScalarKernels) when false.
void setVectorised(bool bVectorised);
bool isVectorised();

void fillLine(uint32_t* dst, int n, uint32_t colour);
void compositeLine(uint32_t* dst, const uint32_t* src, int n);
void compositeFillLine(uint32_t* dst, int n, uint32_t colour);
void blendLine(uint32_t* dst, const uint32_t* src, int n);
void dyeLine(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour);

}  // namespace PixelRows
}  // namespace QV::UIA
