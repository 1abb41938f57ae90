// The per-pixel arithmetic of pictures and combiners, one function per rule. The row kernels
// (PixelRows.h) apply these to runs; their vectorised forms must give exactly the same words.
// Pixels are 0xAARRGGBB words with straight alpha.
#pragma once

#include <cstdint>

namespace QV::UIA::PixelRules {

inline uint32_t alphaOf(uint32_t pixel) { return pixel >> 24; }
inline uint32_t channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// The combiners' rounding division: (x + (x >> 8) + 1) >> 8, for x up to 255 * 255.
inline uint32_t div255(uint32_t x) { return (x + (x >> 8) + 1) >> 8; }

// Standard "source over" for straight alpha, rounded to nearest:
//   k = dA (255 - sA); A = sA + round(k / 255); C = round((sC sA + round(dC k / 255)) / A).
// An opaque source replaces the pixel; a result with A = 0 is 0.
inline uint32_t compositeStandard(uint32_t s, uint32_t d)
{
    const uint32_t sA = alphaOf(s);
    if (sA == 0xFF)
        return s;
    const uint32_t k = alphaOf(d) * (255 - sA);
    const uint32_t a = sA + (k + 127) / 255;
    if (a == 0)
        return 0;
    uint32_t result = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t c = (channel(s, shift) * sA + (channel(d, shift) * k + 127) / 255 + a / 2) / a;
        if (c > 255)
            c = 255;
        result |= c << shift;
    }
    return result;
}

// Legacy rule of pixels, lines and fills: C = (sC sA + dC (256 - sA)) >> 8, alpha 0; an opaque
// source replaces the pixel.
inline uint32_t compositeLegacyDraw(uint32_t s, uint32_t d)
{
    const uint32_t sA = alphaOf(s);
    if (sA == 0xFF)
        return s;
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8)
        result |= ((channel(s, shift) * sA + channel(d, shift) * (256 - sA)) >> 8) << shift;
    return result;
}

// Legacy rule of copies: C = (dC (255 - sA) + sC sA) >> 8 with the source's alpha; an opaque
// source replaces the pixel.
inline uint32_t compositeLegacyCopy(uint32_t s, uint32_t d)
{
    const uint32_t sA = alphaOf(s);
    if (sA == 0xFF)
        return s;
    uint32_t result = sA << 24;
    for (int shift = 0; shift < 24; shift += 8)
        result |= ((channel(d, shift) * (255 - sA) + channel(s, shift) * sA) >> 8) << shift;
    return result;
}

// Mixes colour into t with weight m (0..255), keeping t's alpha.
inline uint32_t mixKeepAlpha(uint32_t t, uint32_t colour, uint32_t m)
{
    uint32_t result = t & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        result |= div255(channel(t, shift) * (255 - m) + channel(colour, shift) * m) << shift;
    return result;
}

inline uint32_t blendUsingAlpha(uint32_t s, uint32_t t) { return mixKeepAlpha(t, s, div255(alphaOf(s) * alphaOf(t))); }

inline uint32_t dyeUsingAlphaMask(uint32_t mask, uint32_t t, uint32_t colour)
{
    return mixKeepAlpha(t, colour, div255(alphaOf(mask) * alphaOf(colour)));
}

}  // namespace QV::UIA::PixelRules
