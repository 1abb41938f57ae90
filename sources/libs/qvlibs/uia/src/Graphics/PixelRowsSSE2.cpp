// The row kernels four pixels at a time with SSE2 (always there on x86_64). The last four pixels
// of a run are worked out first, from the pixels as they were, and stored last, over the end of
// the last full step; a run shorter than four goes through the same step on a padded copy. Each
// gives exactly the words of PixelRules.h:
// - blend and dye work on 16-bit lanes: every product and sum of their rule stays below 65536,
//   and div255 is a high multiply that gives the rule's value for every such sum;
// - "source over" divides by the result alpha, which SSE2 cannot do on integers. Everything up to
//   that division is exact integer arithmetic (the division by 255 of a sum below 2^24 is split
//   into two exact steps, see quotient255); the final quotient num / A (num < 2^18, at most 383)
//   is num * (1 / A) + 2^-10 in floats, truncated: the products' error (below 2^-14) and the
//   offset stay below the 1/255 that separates a non-integer quotient from the next integer.
// Elsewhere than x86 the scalar kernels stand in.
#include "Graphics/PixelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace QV::UIA::PictureSSE2 {

#if defined(__SSE2__)

namespace {

inline __m128i load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
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
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), m);
    return div255x16(_mm_add_epi16(_mm_mullo_epi16(t, inverse), _mm_mullo_epi16(c, m)));
}

// A pixel word split into its blue and red (low bytes of the 16-bit lanes), and green and alpha
// (high bytes), each channel in a 16-bit lane.
struct tSplit {
    __m128i blueRed;
    __m128i greenAlpha;
};

inline tSplit split(__m128i p) { return {_mm_and_si128(p, _mm_set1_epi16(0xFF)), _mm_srli_epi16(p, 8)}; }

// Four pixels of t mixed with c by the weights m (one per pixel, 0..255, in the low half of each
// 32-bit lane), keeping t's alpha: blue and red mix with (m, m), green and alpha with (m, 0), so
// the alpha mixes with weight 0 and stays t's (div255(tA * 255) = tA).
inline __m128i mix4(__m128i t, const tSplit& c, __m128i m)
{
    const tSplit target = split(t);
    const __m128i blueRed = mix16(target.blueRed, c.blueRed, _mm_or_si128(m, _mm_slli_epi32(m, 16)));
    const __m128i greenAlpha = mix16(target.greenAlpha, c.greenAlpha, m);
    return _mm_or_si128(blueRed, _mm_slli_epi16(greenAlpha, 8));
}

// Four pixels of blendUsingAlpha: m = div255(sA tA). The alphas (below 256) multiply exactly in
// the low half of each 32-bit lane, and div255 leaves the zero high half at zero.
inline __m128i blend4(__m128i s, __m128i t)
{
    const __m128i m = div255x16(_mm_mullo_epi16(_mm_srli_epi32(s, 24), _mm_srli_epi32(t, 24)));
    return mix4(t, split(s), m);
}

// Four pixels of dyeUsingAlphaMask: m = div255(maskA cA); colourAlpha holds the dye's alpha in
// every 32-bit lane.
inline __m128i dye4(__m128i mask, __m128i t, const tSplit& colour, __m128i colourAlpha)
{
    const __m128i m = div255x16(_mm_mullo_epi16(_mm_srli_epi32(mask, 24), colourAlpha));
    return mix4(t, colour, m);
}

// floor(w / 255) for w below 65536 in the low half of each 32-bit lane (the high half zero):
// (w * 0x8081) >> 23 for every such w.
inline __m128i quotient255x16(__m128i w) { return _mm_srli_epi32(_mm_mulhi_epu16(w, _mm_set1_epi32(0x8081)), 7); }

// floor(y / 255) for y up to 255 * 65025 + 127 in 32-bit lanes: with h = y >> 8,
// y = 255 h + (h + (y & 255)), and the second part stays below 65536.
inline __m128i quotient255(__m128i y)
{
    const __m128i high = _mm_srli_epi32(y, 8);
    return _mm_add_epi32(high, quotient255x16(_mm_add_epi32(high, _mm_and_si128(y, _mm_set1_epi32(0xFF)))));
}

template <int shift>
inline __m128i channelOf(__m128i p)
{
    if constexpr (shift == 0)
        return _mm_and_si128(p, _mm_set1_epi32(0xFF));
    else
        return _mm_and_si128(_mm_srli_epi32(p, shift), _mm_set1_epi32(0xFF));
}

// The shared values of compositeStandard for four pixels, in 32-bit lanes.
struct tComposite {
    __m128i sA;
    __m128i k;           // dA (255 - sA), below 65536
    __m128i halfA;       // A / 2
    __m128 reciprocalA;  // 1 / max(A, 1)
};

// One colour channel of compositeStandard: (sC sA + floor((dC k + 127) / 255) + A / 2) / A,
// at most 255, moved to its place in the word.
template <int shift>
inline __m128i compositeChannel(__m128i s, __m128i d, const tComposite& v)
{
    const __m128i sC = channelOf<shift>(s);
    const __m128i dC = channelOf<shift>(d);
    // dC k < 2^24 from its low and high 16 bits.
    const __m128i low = _mm_mullo_epi16(dC, v.k);
    const __m128i high = _mm_mulhi_epu16(dC, v.k);
    const __m128i y = _mm_add_epi32(_mm_or_si128(low, _mm_slli_epi32(high, 16)), _mm_set1_epi32(127));
    const __m128i num = _mm_add_epi32(_mm_add_epi32(_mm_mullo_epi16(sC, v.sA), quotient255(y)), v.halfA);
    const __m128 quotient = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(num), v.reciprocalA), _mm_set1_ps(1.0f / 1024.0f));
    // The quotient is at most 383, so a 16-bit minimum on the low halves clamps it.
    const __m128i c = _mm_min_epi16(_mm_cvttps_epi32(quotient), _mm_set1_epi32(255));
    if constexpr (shift == 0)
        return c;
    else
        return _mm_slli_epi32(c, shift);
}

// Four pixels of compositeStandard.
inline __m128i composite4(__m128i s, __m128i d)
{
    const __m128i byteMask = _mm_set1_epi32(0xFF);
    const __m128i sA = _mm_srli_epi32(s, 24);
    const __m128i opaque = _mm_cmpeq_epi32(sA, byteMask);
    if (_mm_movemask_ps(_mm_castsi128_ps(opaque)) == 0xF)
        return s;
    const __m128i dA = _mm_srli_epi32(d, 24);
    const __m128i zero = _mm_setzero_si128();
    if (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(sA, zero))) == 0xF) {
        // A transparent source keeps the pixel, or clears it when its alpha is 0.
        return _mm_andnot_si128(_mm_cmpeq_epi32(dA, zero), d);
    }

    const __m128i k = _mm_mullo_epi16(dA, _mm_sub_epi32(byteMask, sA));
    // A = sA + floor((k + 127) / 255), k + 127 < 65536.
    const __m128i a = _mm_add_epi32(sA, quotient255x16(_mm_add_epi32(k, _mm_set1_epi32(127))));
    const tComposite v{sA, k, _mm_srli_epi32(a, 1),
                       _mm_div_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_cvtepi32_ps(a), _mm_set1_ps(1.0f)))};

    __m128i result = _mm_or_si128(_mm_slli_epi32(a, 24), compositeChannel<0>(s, d, v));
    result = _mm_or_si128(result, _mm_or_si128(compositeChannel<8>(s, d, v), compositeChannel<16>(s, d, v)));
    result = _mm_andnot_si128(_mm_cmpeq_epi32(a, zero), result);
    return _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, result));
}

// Runs step on a run of n (< 4) pixels through padded copies of the rows.
template <class Step>
inline void shortRun(uint32_t* dst, const uint32_t* src, int n, const Step& step)
{
    uint32_t target[4] = {}, source[4] = {};
    for (int i = 0; i < n; ++i) {
        target[i] = dst[i];
        source[i] = src[i];
    }
    store4(target, step(load4(source), load4(target)));
    for (int i = 0; i < n; ++i)
        dst[i] = target[i];
}

// Runs step over a run: four pixels per step. The last four pixels are worked out before any
// store, so they may overlap the last full step.
template <class Step>
inline void run(uint32_t* dst, const uint32_t* src, int n, const Step& step)
{
    if (n < 4)
        return shortRun(dst, src, n, step);
    const __m128i last = step(load4(src + n - 4), load4(dst + n - 4));
    for (int i = 0; i + 4 < n; i += 4)
        store4(dst + i, step(load4(src + i), load4(dst + i)));
    store4(dst + n - 4, last);
}

void fillLine(uint32_t* dst, int n, uint32_t colour)
{
    if (n < 4) {
        for (int i = 0; i < n; ++i)
            dst[i] = colour;
        return;
    }
    const __m128i v = _mm_set1_epi32(int(colour));
    for (int i = 0; i + 4 < n; i += 4)
        store4(dst + i, v);
    store4(dst + n - 4, v);
}

void compositeLine(uint32_t* dst, const uint32_t* src, int n)
{
    run(dst, src, n, [](__m128i s, __m128i d) { return composite4(s, d); });
}

void compositeFillLine(uint32_t* dst, int n, uint32_t colour)
{
    // The source row: the colour as often as the step reads it.
    const __m128i s = _mm_set1_epi32(int(colour));
    const uint32_t words[4] = {colour, colour, colour, colour};
    if (n < 4)
        return shortRun(dst, words, n, [](__m128i c, __m128i d) { return composite4(c, d); });
    const __m128i last = composite4(s, load4(dst + n - 4));
    for (int i = 0; i + 4 < n; i += 4)
        store4(dst + i, composite4(s, load4(dst + i)));
    store4(dst + n - 4, last);
}

void blendLine(uint32_t* dst, const uint32_t* src, int n)
{
    run(dst, src, n, [](__m128i s, __m128i t) { return blend4(s, t); });
}

void dyeLine(uint32_t* dst, const uint32_t* mask, int n, uint32_t colour)
{
    const tSplit colourChannels = split(_mm_set1_epi32(int(colour)));
    const __m128i colourAlpha = _mm_set1_epi32(int(colour >> 24));
    run(dst, mask, n, [&](__m128i m, __m128i t) { return dye4(m, t, colourChannels, colourAlpha); });
}

}  // namespace

const tRowKernels kKernels = {&fillLine, &compositeLine, &compositeFillLine, &blendLine, &dyeLine};

#else  // no SSE2: never run (isSupported is false), the scalar kernels all the same

const tRowKernels kKernels = PictureSCALAR::kKernels;

#endif

}  // namespace QV::UIA::PictureSSE2
