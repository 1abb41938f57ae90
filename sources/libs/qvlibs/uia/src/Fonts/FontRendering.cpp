// Drawing text with a font into a picture.
#include "UIA/Font.h"

#include "Fonts/FTRenderCache.h"
#include "Fonts/GlyphAdvance.h"
#include "UIA/Picture.h"

#include "GP/CodePointWalk.h"

#include <algorithm>
#include <cstring>

namespace QV::UIA {

namespace {

// Keeps a picture's clip and origin across a drawing that changes them.
class ClipKeeper {
public:
    explicit ClipKeeper(Picture& picture)
        : m_picture(picture), m_bWasActive(picture.isClipActive()), m_clip(picture.getClipRect()),
          m_origin(picture.getOrigin())
    {}
    ~ClipKeeper()
    {
        m_picture.setOrigin(m_origin);
        if (m_bWasActive)
            m_picture.setClipRect(m_clip);
        else
            m_picture.resetClipRect();
    }
    ClipKeeper(const ClipKeeper&) = delete;
    ClipKeeper& operator=(const ClipKeeper&) = delete;

    bool wasActive() const { return m_bWasActive; }
    const GP::Rect& clip() const { return m_clip; }

private:
    Picture& m_picture;
    bool m_bWasActive;
    GP::Rect m_clip;
    GP::Point m_origin;
};

}  // namespace

void Font::renderTextMultiline(Picture& picture, const GP::Rect& rect, const GP::CharSequence<char>& text,
                               uint32_t colour, eAlignment alignment, int lineSpacing) const
{
    DETAIL::FTRenderCache* cache = currentCache();
    if (!cache || text.empty() || text[0] == '\0' || rect.isEmpty())
        return;

    const ClipKeeper keeper(picture);
    picture.setClipRect(keeper.wasActive() ? rect.intersected(keeper.clip()) : rect);

    const char* p = text.begin();
    const char* const end = text.end();
    const long long lines = 1 + std::count(p, end, '\n');
    const long long lineHeight = cache->getLineHeight();
    const long long ascent = cache->getAscent();
    const long long blockHeight = lines * lineHeight + lineSpacing * (lines - 1);
    long long baseline = 0;
    if (alignment & eAlignTop)
        baseline = rect.top + ascent;
    else if (alignment & eAlignBottom)
        baseline = rect.bottom - blockHeight + ascent;
    else
        baseline = rect.top + ascent + (rect.bottom - blockHeight - rect.top) / 2;

    while (baseline <= rect.bottom) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        if (!lineEnd)
            lineEnd = end;
        if (baseline + lineHeight >= rect.top) {
            long long x = rect.left + alignmentOffset(*cache, p, lineEnd, false, alignment, rect.width());
            const char* q = p;
            while (q < lineEnd) {
                const DETAIL::FTCharBitmap* glyph = cache->getCharBitmap(GP::nextCodePoint(q, lineEnd));
                if (!glyph)
                    continue;
                if (x < rect.right)
                    renderChar(picture, int(x), int(baseline), *glyph, colour);
                x += DETAIL::advancePixels(glyph);
            }
        }
        if (lineEnd == end)
            break;
        p = lineEnd + 1;
        baseline += lineHeight + lineSpacing;
    }
}

void Font::renderChar(Picture& picture, int x, int baselineY, const DETAIL::FTCharBitmap& glyph, uint32_t colour) const
{
    if (m_bUnderline) {
        if (DETAIL::FTRenderCache* cache = currentCache())
            picture.fillArea(x, baselineY - cache->getUnderlinePosition(), DETAIL::advancePixels(&glyph),
                             cache->getUnderlineThickness(), colour);
    }

    const uint32_t sourceAlpha = colour >> 24;
    if (sourceAlpha == 0 || glyph.width == 0 || glyph.rows == 0)
        return;
    // The glyph's pixels that lie in the drawable part of the picture, in picture coordinates.
    const GP::Rect drawable = picture.getDrawableRect();
    const GP::Point origin = picture.getOrigin();
    const long long glyphLeft = static_cast<long long>(x) + glyph.left + origin.x;
    const long long glyphTop = static_cast<long long>(baselineY) - glyph.top + origin.y;
    const long long firstColumn = std::max<long long>(0, drawable.left - glyphLeft);
    const long long endColumn = std::min<long long>(glyph.width, drawable.right - glyphLeft);
    const long long firstRow = std::max<long long>(0, drawable.top - glyphTop);
    const long long endRow = std::min<long long>(glyph.rows, drawable.bottom - glyphTop);
    if (firstColumn >= endColumn || firstRow >= endRow)
        return;

    const uint32_t sR = (colour >> 16) & 0xFF, sG = (colour >> 8) & 0xFF, sB = colour & 0xFF;
    uint32_t* const pixels = picture.getData();
    const long long width = picture.getWidth();
    for (long long r = firstRow; r < endRow; ++r) {
        uint32_t* const row = pixels + (glyphTop + r) * width + (glyphLeft + firstColumn);
        for (long long i = firstColumn; i < endColumn; ++i) {
            // Only coverage that reaches a whole step of alpha changes the pixel.
            const uint32_t weight = glyph.coverageAt(uint32_t(i), uint32_t(r)) * sourceAlpha;
            if (weight < 255)
                continue;
            const uint32_t a = weight / 255;
            uint32_t& pixel = row[i - firstColumn];
            const uint32_t d = pixel;
            const uint32_t dA = d >> 24, dR = (d >> 16) & 0xFF, dG = (d >> 8) & 0xFF, dB = d & 0xFF;
            const uint32_t outR = (dR * (256 - a) + sR * a) >> 8;
            const uint32_t outG = (dG * (256 - a) + sG * a) >> 8;
            const uint32_t outB = (dB * (256 - a) + sB * a) >> 8;
            const uint32_t outA = std::min<uint32_t>(dA + a, 255);
            pixel = (outA << 24) | (outR << 16) | (outG << 8) | outB;
        }
    }
}

}  // namespace QV::UIA
