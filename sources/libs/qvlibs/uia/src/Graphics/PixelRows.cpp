#include "Graphics/PixelRows.h"

#include <initializer_list>
#include <iterator>

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

// The tables by eKernels.
constexpr const tRowKernels* kRowKernels[] = {&PictureSCALAR::kKernels, &PictureSSE2::kKernels, &PictureAVX2::kKernels};

// The set in use and its table.
struct tChoice {
    eKernels kernels;
    const tRowKernels* pRows;
};

// Chosen on first use, so the processor is asked after start-up, once.
tChoice& current()
{
    static tChoice s_choice = [] {
        const eKernels best = bestKernels();
        return tChoice{best, &rowKernels(best)};
    }();
    return s_choice;
}

// The kernels for a run of n pixels; a target that overlaps its source takes the scalar kernels,
// whose order defines the result.
const tRowKernels& rowsFor(int n) { return n > 0 ? *current().pRows : PictureSCALAR::kKernels; }
const tRowKernels& rowsFor(const uint32_t* dst, const uint32_t* src, int n)
{
    return n > 0 && !overlaps(dst, src, n) ? *current().pRows : PictureSCALAR::kKernels;
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

const tRowKernels& rowKernels(eKernels kernels)
{
    const int index = int(kernels);
    return index >= 0 && index < int(std::size(kRowKernels)) ? *kRowKernels[index] : PictureSCALAR::kKernels;
}

eKernels setKernels(eKernels kernels)
{
    const eKernels chosen = isSupported(kernels) ? kernels : bestKernels();
    current() = tChoice{chosen, &rowKernels(chosen)};
    return chosen;
}

eKernels kernels() { return current().kernels; }

void setVectorised(bool bVectorised) { setKernels(bVectorised ? bestKernels() : eScalarKernels); }
bool isVectorised() { return current().kernels != eScalarKernels; }

void fillLine(uint32_t* dst, int n, uint32_t colour) { rowsFor(n).fillLine(dst, n, colour); }

void compositeLine(uint32_t* dst, const uint32_t* src, int n) { rowsFor(dst, src, n).compositeLine(dst, src, n); }

void compositeFillLine(uint32_t* dst, int n, uint32_t colour) { rowsFor(n).compositeFillLine(dst, n, colour); }

void blendLine(uint32_t* dst, const uint32_t* src, int n) { rowsFor(dst, src, n).blendLine(dst, src, n); }

void dyeLine(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour)
{
    rowsFor(dst, mask, n).dyeLine(dst, mask, n, colour);
}

}  // namespace QV::UIA::PixelRows
