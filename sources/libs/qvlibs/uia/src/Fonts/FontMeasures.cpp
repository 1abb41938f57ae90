// Measuring text with a font: widths, positions and alignment offsets of lines.
#include "UIA/Font.h"

#include "Fonts/FTRenderCache.h"
#include "Fonts/GlyphAdvance.h"

#include "GP/CodePointWalk.h"

#include <climits>
#include <cstring>

namespace QV::UIA {

namespace {

constexpr int kHeightWithoutFace = 10;

}  // namespace

int Font::lineWidth(DETAIL::FTRenderCache& cache, const char* text, const char* end, bool stopAtNul, int limit) const
{
    long long sum = 0;
    while (text < end && sum < limit) {
        const char32_t c = GP::nextCodePoint(text, end);
        if (c == U'\n' || (stopAtNul && c == 0))
            break;
        sum += DETAIL::advancePixels(cache.getCharBitmap(c));
    }
    return int(sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : sum);
}

int Font::alignmentOffset(DETAIL::FTRenderCache& cache, const char* text, const char* end, bool stopAtNul,
                          eAlignment alignment, int width) const
{
    if (alignment & eAlignLeft)
        return 0;
    const int sum = lineWidth(cache, text, end, stopAtNul, width);
    if (sum >= width)
        return 0;
    if (alignment & eAlignRight)
        return width - sum;
    return int((static_cast<long long>(width) - sum + 1) / 2);
}

int Font::getCharHeight() const
{
    DETAIL::FTRenderCache* cache = currentCache();
    return cache ? cache->getLineHeight() : kHeightWithoutFace;
}

int Font::getStringWidth(const char* text, int length) const
{
    DETAIL::FTRenderCache* cache = currentCache();
    if (!cache || !text)
        return 0;
    const char* end = text + (length < 0 ? std::strlen(text) : std::size_t(length));
    return lineWidth(*cache, text, end, true, INT_MAX);
}

int Font::getStringWidthMultiline(const std::string& text) const
{
    DETAIL::FTRenderCache* cache = currentCache();
    if (!cache)
        return 0;
    int widest = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    for (;;) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        if (!lineEnd)
            lineEnd = end;
        const int width = lineWidth(*cache, p, lineEnd, true, INT_MAX);
        if (width > widest)
            widest = width;
        if (lineEnd == end)
            return widest;
        p = lineEnd + 1;
    }
}

int Font::getCharPos(const char* text, int width, eRounding rounding) const
{
    if (width < 1 || !text)
        return 0;
    DETAIL::FTRenderCache* cache = currentCache();
    const char* p = text;
    const char* const end = text + std::strlen(text);
    long long sum = 0;
    while (p < end) {
        const char* const start = p;
        const char32_t c = GP::nextCodePoint(p, end);
        if (c == U'\n')
            return int(start - text);
        const long long before = sum;
        sum += cache ? DETAIL::advancePixels(cache->getCharBitmap(c)) : 0;
        if (sum > width) {
            bool bBefore = false;
            switch (rounding) {
            case eRoundBefore: bBefore = true; break;
            case eRoundAfter: bBefore = false; break;
            default: bBefore = sum - width >= width - before; break;  // a tie goes before the glyph
            }
            return int((bBefore ? start : p) - text);
        }
    }
    return int(end - text);
}

int Font::getHorizontalAlignmentOffset(const char* text, eAlignment alignment, int width) const
{
    if (alignment & eAlignLeft)
        return 0;
    DETAIL::FTRenderCache* cache = currentCache();
    if (!text)
        text = "";
    if (!cache) {
        // Without a face every text is 0 pixels wide.
        if (width <= 0)
            return 0;
        return (alignment & eAlignRight) ? width : int((static_cast<long long>(width) + 1) / 2);
    }
    return alignmentOffset(*cache, text, text + std::strlen(text), true, alignment, width);
}

}  // namespace QV::UIA
