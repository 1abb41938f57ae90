// The row kernels eight pixels at a time with AVX2, built for AVX2 function by function so the
// rest of the program keeps running on any x86-64; PixelRows calls them only when the processor
// has AVX2. The last eight pixels of a run are worked out first, from the pixels as they were, and
// stored last, over the end of the last full step; a run shorter than eight goes through masked
// loads and stores. Each gives exactly the words of PixelRules.h:
// - blend and dye mix each channel pair with one multiply-add of bytes (vpmaddubsw), which takes
//   unsigned weights and signed values: the values are moved to -128..127 (x ^ 0x80), so the sum
//   tC (255 - m) + cC m comes out less 128 * 255, between -32640 and 32385, never saturating;
//   adding 128 * 255 + 1 back in 16 bits gives x + 1 as an unsigned word, and div255(x) is
//   ((x + 1) * 257) >> 16 for every x up to 255 * 255. The alpha byte mixes with weights
//   (255, 0), which gives back the target's alpha;
// - "source over" is the SSE2 arithmetic (see PixelRowsSSE2.cpp) on eight lanes: integers up to
//   the division by the result alpha, which is a float multiply by its reciprocal, truncated.
// Where the compiler cannot build x86 code the SSE2 kernels (or the scalar ones) stand in.
#include "Graphics/PixelRows.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define QV_PIXEL_ROWS_AVX2 1
#include <immintrin.h>
#endif

namespace QV::UIA::PictureAVX2 {

#if defined(QV_PIXEL_ROWS_AVX2)

// The kernels' entry points are built for AVX2; the steps they run are always inlined into them.
#define QV_AVX2 __attribute__((target("avx2")))
#define QV_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace {

QV_AVX2_INLINE __m256i load8(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
QV_AVX2_INLINE void store8(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// The lanes below n (0..8) of a masked load or store.
QV_AVX2_INLINE __m256i firstLanes(int n)
{
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
QV_AVX2_INLINE __m256i maskedLoad8(const uint32_t* p, __m256i lanes)
{
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), lanes);
}
QV_AVX2_INLINE void maskedStore8(uint32_t* p, __m256i lanes, __m256i v)
{
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), lanes, v);
}

// The mixing weights of eight pixels from the product p of two alphas in the high half of each
// 32-bit lane (the low half zero): with m = div255(p), the high half becomes 255 m + 255, the
// bytes (255 - m, m), and the low half 255, the bytes (255, 0): the weights of the colour
// channels and of the alpha.
QV_AVX2_INLINE __m256i weightsOf(__m256i p)
{
    const __m256i m =
        _mm256_mulhi_epu16(_mm256_add_epi16(p, _mm256_set1_epi32(0x00010000)), _mm256_set1_epi32(0x01010000));
    return _mm256_add_epi16(_mm256_mullo_epi16(m, _mm256_set1_epi32(0x00FF0000)), _mm256_set1_epi32(0x00FF00FF));
}

// Eight pixels of t mixed with c by the weights of weightsOf, keeping t's alpha; tb and cb are t
// and c with every byte ^ 0x80.
QV_AVX2_INLINE __m256i mix8(__m256i tb, __m256i cb, __m256i weights)
{
    // For each channel the pair (255 - m, m) and for the alpha (255, 0), for the pixels 0, 1 and
    // 2, 3 of each 128-bit half.
    const __m256i lowWeights =
        _mm256_shuffle_epi8(weights, _mm256_setr_epi8(2, 3, 2, 3, 2, 3, 0, 1, 6, 7, 6, 7, 6, 7, 4, 5, 2, 3, 2, 3, 2, 3,
                                                      0, 1, 6, 7, 6, 7, 6, 7, 4, 5));
    const __m256i highWeights =
        _mm256_shuffle_epi8(weights, _mm256_setr_epi8(10, 11, 10, 11, 10, 11, 8, 9, 14, 15, 14, 15, 14, 15, 12, 13, 10,
                                                      11, 10, 11, 10, 11, 8, 9, 14, 15, 14, 15, 14, 15, 12, 13));
    // (tC, cC) byte pairs against the weights: x - 128 * 255 per channel.
    const __m256i low = _mm256_maddubs_epi16(lowWeights, _mm256_unpacklo_epi8(tb, cb));
    const __m256i high = _mm256_maddubs_epi16(highWeights, _mm256_unpackhi_epi8(tb, cb));
    const __m256i offset = _mm256_set1_epi16(int16_t(128 * 255 + 1));
    const __m256i factor = _mm256_set1_epi16(257);
    return _mm256_packus_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(low, offset), factor),
                               _mm256_mulhi_epu16(_mm256_add_epi16(high, offset), factor));
}

QV_AVX2_INLINE __m256i flipBytes(__m256i v) { return _mm256_xor_si256(v, _mm256_set1_epi8(char(0x80))); }

// The alpha byte of each pixel in place: 256 times the alpha in the high half of its lane.
QV_AVX2_INLINE __m256i alphaOf(__m256i p) { return _mm256_and_si256(p, _mm256_set1_epi32(int(0xFF000000u))); }

// Eight pixels of blendUsingAlpha: m = div255(sA tA), the alphas multiplied in the high halves.
struct tBlend {
    QV_AVX2_INLINE __m256i operator()(__m256i s, __m256i t) const
    {
        return mix8(flipBytes(t), flipBytes(s), weightsOf(_mm256_mulhi_epu16(alphaOf(s), alphaOf(t))));
    }
};

// Eight pixels of dyeUsingAlphaMask: m = div255(maskA cA).
struct tDye {
    __m256i colourFlipped;  // the dye, every byte ^ 0x80
    __m256i colourAlpha;    // its alpha byte in place in every 32-bit lane

    QV_AVX2_INLINE __m256i operator()(__m256i mask, __m256i t) const
    {
        return mix8(flipBytes(t), colourFlipped, weightsOf(_mm256_mulhi_epu16(alphaOf(mask), colourAlpha)));
    }
};

// floor(w / 255) for w below 65536 in the low half of each 32-bit lane, the high half zero.
QV_AVX2_INLINE __m256i quotient255x16(__m256i w)
{
    return _mm256_srli_epi32(_mm256_mulhi_epu16(w, _mm256_set1_epi32(0x8081)), 7);
}

// floor(y / 255) for y up to 255 * 65025 + 127: y = 255 h + (h + (y & 255)) with h = y >> 8.
QV_AVX2_INLINE __m256i quotient255(__m256i y)
{
    const __m256i high = _mm256_srli_epi32(y, 8);
    return _mm256_add_epi32(high, quotient255x16(_mm256_add_epi32(high, _mm256_and_si256(y, _mm256_set1_epi32(0xFF)))));
}

// The byte of each pixel at shift, zero-extended to its 32-bit lane.
template <int shift>
QV_AVX2_INLINE __m256i channelOf(__m256i p)
{
    constexpr char b = shift / 8, z = char(0x80);
    return _mm256_shuffle_epi8(p, _mm256_setr_epi8(b, z, z, z, b + 4, z, z, z, b + 8, z, z, z, b + 12, z, z, z, b, z, z,
                                                   z, b + 4, z, z, z, b + 8, z, z, z, b + 12, z, z, z));
}

// The shared values of compositeStandard for eight pixels, in 32-bit lanes.
struct tComposite {
    __m256i sA;
    __m256i k;           // dA (255 - sA)
    __m256i halfA;       // A / 2
    __m256 reciprocalA;  // 1 / max(A, 1)
};

// One colour channel of compositeStandard, moved to its place in the word.
template <int shift>
QV_AVX2_INLINE __m256i compositeChannel(__m256i s, __m256i d, const tComposite& v)
{
    const __m256i y = _mm256_add_epi32(_mm256_mullo_epi32(channelOf<shift>(d), v.k), _mm256_set1_epi32(127));
    const __m256i num =
        _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi16(channelOf<shift>(s), v.sA), quotient255(y)), v.halfA);
    const __m256 quotient =
        _mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(num), v.reciprocalA), _mm256_set1_ps(1.0f / 1024.0f));
    const __m256i c = _mm256_min_epi32(_mm256_cvttps_epi32(quotient), _mm256_set1_epi32(255));
    return _mm256_slli_epi32(c, shift);
}

// Eight pixels of compositeStandard.
struct tComposite8 {
    QV_AVX2_INLINE __m256i operator()(__m256i s, __m256i d) const
    {
        const __m256i byteMask = _mm256_set1_epi32(0xFF);
        const __m256i sA = _mm256_srli_epi32(s, 24);
        const __m256i opaque = _mm256_cmpeq_epi32(sA, byteMask);
        if (_mm256_movemask_ps(_mm256_castsi256_ps(opaque)) == 0xFF)
            return s;
        const __m256i dA = _mm256_srli_epi32(d, 24);
        const __m256i zero = _mm256_setzero_si256();
        if (_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(sA, zero))) == 0xFF) {
            // A transparent source keeps the pixel, or clears it when its alpha is 0.
            return _mm256_andnot_si256(_mm256_cmpeq_epi32(dA, zero), d);
        }

        const __m256i k = _mm256_mullo_epi16(dA, _mm256_sub_epi32(byteMask, sA));
        const __m256i a = _mm256_add_epi32(sA, quotient255x16(_mm256_add_epi32(k, _mm256_set1_epi32(127))));
        const tComposite v{
            sA, k, _mm256_srli_epi32(a, 1),
            _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_max_ps(_mm256_cvtepi32_ps(a), _mm256_set1_ps(1.0f)))};

        __m256i result = _mm256_or_si256(_mm256_slli_epi32(a, 24), compositeChannel<0>(s, d, v));
        result = _mm256_or_si256(result, _mm256_or_si256(compositeChannel<8>(s, d, v), compositeChannel<16>(s, d, v)));
        result = _mm256_andnot_si256(_mm256_cmpeq_epi32(a, zero), result);
        return _mm256_blendv_epi8(result, s, opaque);
    }
};

// Runs step over a run: eight pixels per step. The last eight pixels are worked out before any
// store, so they may overlap the last full step; a run shorter than eight goes through masked
// loads and stores.
template <class Step>
QV_AVX2_INLINE void run(uint32_t* dst, const uint32_t* src, int n, const Step& step)
{
    if (n < 8) {
        const __m256i lanes = firstLanes(n);
        maskedStore8(dst, lanes, step(maskedLoad8(src, lanes), maskedLoad8(dst, lanes)));
        return;
    }
    const __m256i last = step(load8(src + n - 8), load8(dst + n - 8));
    for (int i = 0; i + 8 < n; i += 8)
        store8(dst + i, step(load8(src + i), load8(dst + i)));
    store8(dst + n - 8, last);
}

// The same over a run whose source is one colour.
template <class Step>
QV_AVX2_INLINE void runOnColour(uint32_t* dst, __m256i colour, int n, const Step& step)
{
    if (n < 8) {
        const __m256i lanes = firstLanes(n);
        maskedStore8(dst, lanes, step(colour, maskedLoad8(dst, lanes)));
        return;
    }
    const __m256i last = step(colour, load8(dst + n - 8));
    for (int i = 0; i + 8 < n; i += 8)
        store8(dst + i, step(colour, load8(dst + i)));
    store8(dst + n - 8, last);
}

QV_AVX2 void fillLine(uint32_t* dst, int n, uint32_t colour)
{
    const __m256i v = _mm256_set1_epi32(int(colour));
    if (n < 8)
        return maskedStore8(dst, firstLanes(n), v);
    for (int i = 0; i + 8 < n; i += 8)
        store8(dst + i, v);
    store8(dst + n - 8, v);
}

QV_AVX2 void compositeLine(uint32_t* dst, const uint32_t* src, int n) { run(dst, src, n, tComposite8{}); }

QV_AVX2 void compositeFillLine(uint32_t* dst, int n, uint32_t colour)
{
    runOnColour(dst, _mm256_set1_epi32(int(colour)), n, tComposite8{});
}

QV_AVX2 void blendLine(uint32_t* dst, const uint32_t* src, int n) { run(dst, src, n, tBlend{}); }

QV_AVX2 void dyeLine(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour)
{
    const tDye dye{flipBytes(_mm256_set1_epi32(int(colour))), _mm256_set1_epi32(int(colour & 0xFF000000u))};
    run(dst, mask, n, dye);
}

}  // namespace

const tRowKernels kKernels = {&fillLine, &compositeLine, &compositeFillLine, &blendLine, &dyeLine};

#else  // not x86: never run (isSupported is false), the SSE2 kernels all the same

const tRowKernels kKernels = PictureSSE2::kKernels;

#endif

}  // namespace QV::UIA::PictureAVX2
