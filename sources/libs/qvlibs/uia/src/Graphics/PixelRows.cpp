#include "Graphics/PixelRows.h"

#include <initializer_list>

namespace QV::UIA::PixelRows {

namespace {

// Whether [a, a + n) and [b, b + n) share a pixel; compared as addresses, as the pointers may
// belong to different pictures.
bool overlaps(const uint32_t* a, const uint32_t* b, int n)
{
    const auto pa = reinterpret_cast<uintptr_t>(a);
    const auto pb = reinterpret_cast<uintptr_t>(b);
    const uintptr_t bytes = uintptr_t(n) * sizeof(uint32_t);
    return pa < pb + bytes && pb < pa + bytes;
}

bool processorHasAVX2()
{
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
    // Also checks that the system saves the AVX registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// Chosen on first use, so the processor is asked after start-up, once.
eKernels& current()
{
    static eKernels s_kernels = bestKernels();
    return s_kernels;
}

// The kernel set for a run of n pixels; a target that overlaps its source takes the scalar
// kernels, whose order defines the result.
eKernels kernelsFor(int n) { return n > 0 ? current() : eScalarKernels; }
eKernels kernelsFor(const uint32_t* dst, const uint32_t* src, int n)
{
    return n > 0 && !overlaps(dst, src, n) ? current() : eScalarKernels;
}

}  // namespace

bool isSupported(eKernels kernels)
{
    switch (kernels) {
    case eScalarKernels: return true;
    case eSSE2Kernels:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case eAVX2Kernels: {
        static const bool s_bAVX2 = processorHasAVX2();
        return s_bAVX2;
    }
    }
    return false;
}

eKernels bestKernels()
{
    for (eKernels kernels : {eAVX2Kernels, eSSE2Kernels})
        if (isSupported(kernels))
            return kernels;
    return eScalarKernels;
}

eKernels setKernels(eKernels kernels)
{
    current() = isSupported(kernels) ? kernels : bestKernels();
    return current();
}

eKernels kernels() { return current(); }

void setVectorised(bool bVectorised) { setKernels(bVectorised ? bestKernels() : eScalarKernels); }
bool isVectorised() { return current() != eScalarKernels; }

void fillLine(uint32_t* dst, int n, uint32_t colour)
{
    switch (kernelsFor(n)) {
    case eAVX2Kernels: return PictureAVX2::fillLine(dst, n, colour);
    case eSSE2Kernels: return PictureSSE2::fillLine(dst, n, colour);
    case eScalarKernels: break;
    }
    PictureSCALAR::fillLine(dst, n, colour);
}

void compositeLine(uint32_t* dst, const uint32_t* src, int n)
{
    switch (kernelsFor(dst, src, n)) {
    case eAVX2Kernels: return PictureAVX2::compositeLine(dst, src, n);
    case eSSE2Kernels: return PictureSSE2::compositeLine(dst, src, n);
    case eScalarKernels: break;
    }
    PictureSCALAR::compositeLine(dst, src, n);
}

void compositeFillLine(uint32_t* dst, int n, uint32_t colour)
{
    switch (kernelsFor(n)) {
    case eAVX2Kernels: return PictureAVX2::compositeFillLine(dst, n, colour);
    case eSSE2Kernels: return PictureSSE2::compositeFillLine(dst, n, colour);
    case eScalarKernels: break;
    }
    PictureSCALAR::compositeFillLine(dst, n, colour);
}

void blendLine(uint32_t* dst, const uint32_t* src, int n)
{
    switch (kernelsFor(dst, src, n)) {
    case eAVX2Kernels: return PictureAVX2::blendLine(dst, src, n);
    case eSSE2Kernels: return PictureSSE2::blendLine(dst, src, n);
    case eScalarKernels: break;
    }
    PictureSCALAR::blendLine(dst, src, n);
}

void dyeLine(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour)
{
    switch (kernelsFor(dst, mask, n)) {
    case eAVX2Kernels: return PictureAVX2::dyeLine(dst, mask, n, colour);
    case eSSE2Kernels: return PictureSSE2::dyeLine(dst, mask, n, colour);
    case eScalarKernels: break;
    }
    PictureSCALAR::dyeLine(dst, mask, n, colour);
}

}  // namespace QV::UIA::PixelRows
