// One face of one font file at one pixel size and hinting, shared by every font that asks for the
// same, with its metrics and the glyphs rendered so far. It keeps the font file's bytes and the
// FreeType library alive for as long as it lives.
#pragma once

#include "Fonts/FTCharBitmap.h"
#include "Fonts/FTLibrary.h"

#include "GP/SharedBytes.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace QV::UIA::DETAIL {

class FTRenderCache {
public:
    using Bytes = GP::tSharedBytes;

    // Opens face 0 of the file, selects its Unicode map and sets the pixel size; null when any of
    // that fails or the size is outside 1..maxPixelSize.
    static std::shared_ptr<FTRenderCache> create(std::shared_ptr<FTLibrary> library, Bytes bytes, int size,
                                                 bool bHinting, int maxPixelSize);
    ~FTRenderCache();
    FTRenderCache(const FTRenderCache&) = delete;
    FTRenderCache& operator=(const FTRenderCache&) = delete;

    // The glyph of the code point; '?' when the code point cannot be rendered (cached under '?',
    // so the failing code point is tried again next time); null when '?' cannot be either.
    const FTCharBitmap* getCharBitmap(char32_t c);

    int getSize() const { return m_size; }
    bool isHinting() const { return m_bHinting; }
    int getLineHeight() const { return m_lineHeight; }
    int getAscent() const { return m_ascent; }
    // Negative below the baseline.
    int getUnderlinePosition() const { return m_underlinePosition; }
    int getUnderlineThickness() const { return m_underlineThickness; }
    // Glyphs rendered so far.
    std::size_t getGlyphCount() const { return m_glyphs.size(); }

private:
    FTRenderCache(std::shared_ptr<FTLibrary> library, Bytes bytes, FT_Face face, int size, bool bHinting);
    void computeMetrics();
    // Renders c into the cache; null when FreeType fails.
    const FTCharBitmap* render(char32_t c);

    std::shared_ptr<FTLibrary> m_library;
    Bytes m_bytes;  // FreeType reads the face from them
    FT_Face m_face;
    int m_size;
    bool m_bHinting;
    int m_lineHeight = 0;
    int m_ascent = 0;
    int m_underlinePosition = 0;
    int m_underlineThickness = 0;
    std::unordered_map<char32_t, FTCharBitmap> m_glyphs;
};

}  // namespace QV::UIA::DETAIL
