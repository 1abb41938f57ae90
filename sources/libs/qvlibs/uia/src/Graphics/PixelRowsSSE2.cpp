// The row kernels four pixels at a time with SSE2 (always there on x86_64), the rest of a run
// through the scalar kernels. Each gives exactly the words of PixelRules.h:
// - blend and dye work on 16-bit lanes: every product and sum of their rule stays below 65536,
//   and div255 is a high multiply that gives the rule's value for every such sum;
// - "source over" divides by the result alpha, which SSE2 cannot do on integers, so it works on
//   floats where the result is provably exact: dC * k + 127 < 2^24 is exact in a float and its
//   correctly rounded quotient by 255 truncates to the integer quotient (the fraction, at most
//   254/255, stays below 1 after rounding by at most 2^-8); the final quotient is at most 383,
//   and num * (1 / A) + 2^-10 truncates to the integer quotient because the products' error
//   (below 2^-14) and the offset stay below the 1/255 that separates a non-integer quotient from
//   the next integer.
// Elsewhere than x86 the scalar kernels stand in.
#include "Graphics/PixelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QV::UIA::PictureSSE2 {

#if defined(__SSE2__)

namespace {

inline __m128i load4(uint32_t const* p) { return _mm_loadu_si128(reinterpret_cast<__m128i const*>(p)); }
inline void store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// div255(x) = (x + (x >> 8) + 1) >> 8 on 16-bit lanes, as ((x + 1) * 257) >> 16: the same value
// for every x up to 255 * 255.
inline __m128i div255x16(__m128i x)
{
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_set1_epi16(257));
}

// div255(t * (255 - m) + c * m) on 16-bit lanes; every term stays below 65536.
inline __m128i mix16(__m128i t, __m128i c, __m128i m)
{
    __m128i const inverse = _mm_sub_epi16(_mm_set1_epi16(255), m);
    return div255x16(_mm_add_epi16(_mm_mullo_epi16(t, inverse), _mm_mullo_epi16(c, m)));
}

// Four pixels of t mixed with c by the weights m (one per pixel, 0..255, in the low half of each
// 32-bit lane), keeping t's alpha. The channels are split into blue and red, and green and alpha,
// one per 16-bit lane: blue and red mix with (m, m), green and alpha with (m, 0), so the alpha
// mixes with weight 0 and stays t's (div255(tA * 255) = tA).
inline __m128i mix4(__m128i t, __m128i c, __m128i m)
{
    __m128i const lowBytes = _mm_set1_epi16(0xFF);
    __m128i const blueRed = mix16(_mm_and_si128(t, lowBytes), _mm_and_si128(c, lowBytes),
                                  _mm_or_si128(m, _mm_slli_epi32(m, 16)));
    __m128i const greenAlpha =
        mix16(_mm_and_si128(_mm_srli_epi16(t, 8), lowBytes), _mm_and_si128(_mm_srli_epi16(c, 8), lowBytes), m);
    return _mm_or_si128(blueRed, _mm_slli_epi16(greenAlpha, 8));
}

// Four pixels of blendUsingAlpha: m = div255(sA tA). The alphas (below 256) multiply exactly in
// the low half of each 32-bit lane, and div255 leaves the zero high half at zero.
inline __m128i blend4(__m128i s, __m128i t)
{
    __m128i const m = div255x16(_mm_mullo_epi16(_mm_srli_epi32(s, 24), _mm_srli_epi32(t, 24)));
    return mix4(t, s, m);
}

// Four pixels of dyeUsingAlphaMask: m = div255(maskA cA); colourAlpha holds the dye's alpha in
// every 32-bit lane.
inline __m128i dye4(__m128i mask, __m128i t, __m128i colour, __m128i colourAlpha)
{
    __m128i const m = div255x16(_mm_mullo_epi16(_mm_srli_epi32(mask, 24), colourAlpha));
    return mix4(t, colour, m);
}

// One colour channel of compositeStandard for four pixels, in 32-bit lanes: sC, dC, sA, the
// half result alpha as integers; k and 1 / A as floats.
inline __m128i compositeChannel(__m128i sC, __m128i dC, __m128i sA, __m128i halfA, __m128 k, __m128 reciprocalA)
{
    // round(dC k / 255) = floor((dC k + 127) / 255), exact as explained above.
    __m128 const x = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(dC), k), _mm_set1_ps(127.0f));
    __m128i const q = _mm_cvttps_epi32(_mm_div_ps(x, _mm_set1_ps(255.0f)));
    // Values below 256 multiply exactly in the low 16 bits of each 32-bit lane.
    __m128i const num = _mm_add_epi32(_mm_add_epi32(_mm_mullo_epi16(sC, sA), q), halfA);
    __m128 const quotient = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(num), reciprocalA), _mm_set1_ps(1.0f / 1024.0f));
    return _mm_min_epi16(_mm_cvttps_epi32(quotient), _mm_set1_epi32(255));
}

// Four pixels of compositeStandard.
inline __m128i composite4(__m128i s, __m128i d)
{
    __m128i const byteMask = _mm_set1_epi32(0xFF);
    __m128i const sA = _mm_srli_epi32(s, 24);
    __m128i const opaque = _mm_cmpeq_epi32(sA, byteMask);
    int const nOpaque = _mm_movemask_ps(_mm_castsi128_ps(opaque));
    if (nOpaque == 0xF)
        return s;
    __m128i const dA = _mm_srli_epi32(d, 24);
    __m128i const zero = _mm_setzero_si128();
    if (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(sA, zero))) == 0xF) {
        // A transparent source keeps the pixel, or clears it when its alpha is 0.
        return _mm_andnot_si128(_mm_cmpeq_epi32(dA, zero), d);
    }

    __m128i const k = _mm_mullo_epi16(dA, _mm_sub_epi32(byteMask, sA));
    __m128i const t = _mm_add_epi32(k, _mm_set1_epi32(127));
    // floor(t / 255), exact for t < 65535.
    __m128i const a =
        _mm_add_epi32(sA, _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(t, _mm_srli_epi32(t, 8)), _mm_set1_epi32(1)), 8));
    __m128 const reciprocalA = _mm_div_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_cvtepi32_ps(a), _mm_set1_ps(1.0f)));
    __m128i const halfA = _mm_srli_epi32(a, 1);
    __m128 const kf = _mm_cvtepi32_ps(k);

    __m128i result = _mm_slli_epi32(a, 24);
    for (int shift = 0; shift < 24; shift += 8) {
        __m128i const sC = _mm_and_si128(_mm_srli_epi32(s, shift), byteMask);
        __m128i const dC = _mm_and_si128(_mm_srli_epi32(d, shift), byteMask);
        __m128i const c = compositeChannel(sC, dC, sA, halfA, kf, reciprocalA);
        result = _mm_or_si128(result, _mm_sll_epi32(c, _mm_cvtsi32_si128(shift)));
    }
    result = _mm_andnot_si128(_mm_cmpeq_epi32(a, zero), result);
    return _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, result));
}

}  // namespace

void fillLine(uint32_t* dst, int n, uint32_t colour)
{
    __m128i const v = _mm_set1_epi32(int(colour));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        store4(dst + i, v);
        store4(dst + i + 4, v);
    }
    for (; i + 4 <= n; i += 4)
        store4(dst + i, v);
    PictureSCALAR::fillLine(dst + i, n - i, colour);
}

void compositeLine(uint32_t* dst, uint32_t const* src, int n)
{
    int i = 0;
    for (; i + 4 <= n; i += 4)
        store4(dst + i, composite4(load4(src + i), load4(dst + i)));
    PictureSCALAR::compositeLine(dst + i, src + i, n - i);
}

void compositeFillLine(uint32_t* dst, int n, uint32_t colour)
{
    __m128i const s = _mm_set1_epi32(int(colour));
    int i = 0;
    for (; i + 4 <= n; i += 4)
        store4(dst + i, composite4(s, load4(dst + i)));
    PictureSCALAR::compositeFillLine(dst + i, n - i, colour);
}

void blendLine(uint32_t* dst, uint32_t const* src, int n)
{
    int i = 0;
    for (; i + 4 <= n; i += 4)
        store4(dst + i, blend4(load4(src + i), load4(dst + i)));
    PictureSCALAR::blendLine(dst + i, src + i, n - i);
}

void dyeLine(uint32_t* dst, uint32_t const* mask, int n, uint32_t colour)
{
    __m128i const colourWords = _mm_set1_epi32(int(colour));
    __m128i const colourAlpha = _mm_set1_epi32(int(colour >> 24));
    int i = 0;
    for (; i + 4 <= n; i += 4)
        store4(dst + i, dye4(load4(mask + i), load4(dst + i), colourWords, colourAlpha));
    PictureSCALAR::dyeLine(dst + i, mask + i, n - i, colour);
}

#else  // no SSE2: the scalar kernels

void fillLine(uint32_t* dst, int n, uint32_t colour) { PictureSCALAR::fillLine(dst, n, colour); }
void compositeLine(uint32_t* dst, uint32_t const* src, int n) { PictureSCALAR::compositeLine(dst, src, n); }
void compositeFillLine(uint32_t* dst, int n, uint32_t colour) { PictureSCALAR::compositeFillLine(dst, n, colour); }
void blendLine(uint32_t* dst, uint32_t const* src, int n) { PictureSCALAR::blendLine(dst, src, n); }
void dyeLine(uint32_t* dst, uint32_t const* mask, int n, uint32_t colour)
{
    PictureSCALAR::dyeLine(dst, mask, n, colour);
}

#endif

}  // namespace QV::UIA::PictureSSE2
