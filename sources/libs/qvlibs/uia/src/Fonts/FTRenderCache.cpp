#include "Fonts/FTRenderCache.h"

#include "Fonts/GlyphCoverage.h"

#include <cmath>
#include <utility>

namespace QV::UIA::DETAIL {

std::shared_ptr<FTRenderCache> FTRenderCache::create(std::shared_ptr<FTLibrary> library, Bytes bytes, int size,
                                                     bool bHinting, int maxPixelSize)
{
    if (!library || bytes.empty() || size < 1 || size > maxPixelSize)
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library->get(), bytes.data.get(), FT_Long(bytes.size), 0, &face) != 0)
        return nullptr;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 || FT_Set_Pixel_Sizes(face, 0, FT_UInt(size)) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    // The constructor is private: make_shared cannot reach it, and the face must not leak if the
    // allocation throws.
    try {
        return std::shared_ptr<FTRenderCache>(
            new FTRenderCache(std::move(library), std::move(bytes), face, size, bHinting));
    } catch (...) {
        FT_Done_Face(face);
        throw;
    }
}

FTRenderCache::FTRenderCache(std::shared_ptr<FTLibrary> library, Bytes bytes, FT_Face face, int size, bool bHinting)
    : m_library(std::move(library)), m_bytes(std::move(bytes)), m_face(face), m_size(size), m_bHinting(bHinting)
{
    m_glyphs.max_load_factor(1.0f);
    computeMetrics();
}

FTRenderCache::~FTRenderCache() { FT_Done_Face(m_face); }

void FTRenderCache::computeMetrics()
{
    const FT_Face face = m_face;
    if (FT_IS_SCALABLE(face) && face->units_per_EM != 0) {
        // Font units to pixels at this size.
        const double scale = double(m_size) / face->units_per_EM;
        m_lineHeight = int(std::lround((face->bbox.yMax - face->bbox.yMin) * scale));
        m_ascent = int(std::lround(face->bbox.yMax * scale));
        m_underlinePosition = int(std::lround(face->underline_position * scale));
        m_underlineThickness = int(std::ceil(face->underline_thickness * scale));
    } else {
        // A bitmap-only face has no font units: its strike's metrics are in pixels already, and
        // it carries no underline; one pixel under the baseline serves.
        const FT_Size_Metrics& metrics = face->size->metrics;
        m_lineHeight = int((metrics.ascender - metrics.descender + 32) >> 6);
        m_ascent = int((metrics.ascender + 32) >> 6);
        m_underlinePosition = -1;
        m_underlineThickness = 1;
    }
    if (m_ascent - m_underlinePosition >= m_lineHeight)
        ++m_lineHeight;
}

const FTCharBitmap* FTRenderCache::getCharBitmap(char32_t c)
{
    const auto found = m_glyphs.find(c);
    if (found != m_glyphs.end())
        return &found->second;
    if (const FTCharBitmap* glyph = render(c))
        return glyph;
    if (c == U'?')
        return nullptr;
    const auto replacement = m_glyphs.find(U'?');
    if (replacement != m_glyphs.end())
        return &replacement->second;
    return render(U'?');
}

const FTCharBitmap* FTRenderCache::render(char32_t c)
{
    // Hinting on means the font's own instructions, never the auto-hinter.
    const FT_Int32 flags = FT_LOAD_RENDER | (m_bHinting ? FT_LOAD_NO_AUTOHINT : FT_LOAD_NO_HINTING);
    if (FT_Load_Char(m_face, FT_ULong(c), flags) != 0)
        return nullptr;
    const FT_GlyphSlot slot = m_face->glyph;
    FTCharBitmap glyph;
    if (!toCoverage(slot->bitmap, glyph.coverage))
        return nullptr;
    glyph.advance = int(slot->advance.x);
    glyph.top = slot->bitmap_top;
    glyph.left = slot->bitmap_left;
    glyph.width = glyph.coverage.empty() ? 0 : slot->bitmap.width;
    glyph.rows = glyph.coverage.empty() ? 0 : slot->bitmap.rows;
    glyph.pitch = int(glyph.width);
    return &m_glyphs.emplace(c, std::move(glyph)).first->second;
}

}  // namespace QV::UIA::DETAIL
