// Shared pieces of the font tests: DejaVu Sans (Debian's fonts-dejavu-core) loaded into fonts of a
// private engine, a reference face that asks FreeType directly what the font should measure, and
// the box of the pixels a drawing changed.
#pragma once

#include "UIA/Font.h"
#include "UIA/FontEngine.h"
#include "UIA/Picture.h"

#include "GP/MemoryStream.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace qvtest {

inline constexpr char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

inline std::vector<unsigned char> readFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline const std::vector<unsigned char>& dejaVuBytes()
{
    static const std::vector<unsigned char> s_bytes = readFile(kDejaVuSans);
    return s_bytes;
}

// A font made from bytes through a memory stream, as the toolkit makes fonts from files.
inline std::unique_ptr<QV::UIA::Font> fontFromBytes(std::vector<unsigned char> bytes,
                                                    const QV::UIA::Font::CreateData& data)
{
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, bytes.data(), bytes.size());
    return std::make_unique<QV::UIA::Font>(stream, data);
}

// FreeType asked directly, the way the font is specified to use it: face 0, pixel height `size`,
// unhinted (or the font's own hinting) rendering.
class ReferenceFace {
public:
    ReferenceFace(const std::vector<unsigned char>& bytes, int size, bool bHinting = false) : m_bHinting(bHinting)
    {
        FT_Init_FreeType(&m_library);
        FT_New_Memory_Face(m_library, bytes.data(), FT_Long(bytes.size()), 0, &m_face);
        if (m_face) {
            FT_Select_Charmap(m_face, FT_ENCODING_UNICODE);
            FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(size));
        }
        m_size = size;
    }
    ~ReferenceFace()
    {
        if (m_face)
            FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
    }
    ReferenceFace(const ReferenceFace&) = delete;
    ReferenceFace& operator=(const ReferenceFace&) = delete;

    bool ok() const { return m_face != nullptr; }
    FT_Face face() const { return m_face; }

    // The glyph slot after rendering c.
    FT_GlyphSlot load(char32_t c) const
    {
        FT_Load_Char(m_face, c, FT_LOAD_RENDER | (m_bHinting ? FT_LOAD_NO_AUTOHINT : FT_LOAD_NO_HINTING));
        return m_face->glyph;
    }
    int advance(char32_t c) const { return int(std::lrint(load(c)->advance.x / 64.0)); }
    int width(const std::u32string& text) const
    {
        int sum = 0;
        for (char32_t c : text)
            sum += advance(c);
        return sum;
    }
    // The face's font units at this size.
    double pixels(long units) const { return double(units) * m_size / m_face->units_per_EM; }
    int ascent() const { return int(std::lround(pixels(m_face->bbox.yMax))); }
    int lineHeight() const
    {
        int height = int(std::lround(pixels(m_face->bbox.yMax - m_face->bbox.yMin)));
        if (ascent() - int(std::lround(pixels(m_face->underline_position))) >= height)
            ++height;
        return height;
    }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    int m_size = 0;
    bool m_bHinting = false;
};

inline std::unique_ptr<QV::UIA::Picture> makePicture(int width, int height, uint32_t fill)
{
    auto picture = std::make_unique<QV::UIA::Picture>();
    picture->setSize(width, height, true);
    picture->clear(fill);
    return picture;
}

// The smallest rectangle holding every pixel that differs from fill; empty when none does.
inline QV::GP::Rect changedBox(const QV::UIA::Picture& picture, uint32_t fill)
{
    QV::GP::Rect box;
    for (int y = 0; y < picture.getHeight(); ++y)
        for (int x = 0; x < picture.getWidth(); ++x)
            if (picture.getPixel(x, y) != fill)
                box = box.united(QV::GP::Rect(x, y, x + 1, y + 1));
    return box;
}

// Where the glyphs of text, drawn from pen position (x, baseline), may leave coverage: the union
// of their bitmaps' boxes, with nothing for glyphs whose bitmap is empty.
inline QV::GP::Rect glyphBox(const ReferenceFace& face, const std::u32string& text, int x, int baseline)
{
    QV::GP::Rect box;
    for (char32_t c : text) {
        FT_GlyphSlot slot = face.load(c);
        QV::GP::Rect glyph(x + slot->bitmap_left, baseline - slot->bitmap_top,
                           x + slot->bitmap_left + int(slot->bitmap.width),
                           baseline - slot->bitmap_top + int(slot->bitmap.rows));
        box = box.united(glyph);
        x += int(std::lrint(slot->advance.x / 64.0));
    }
    return box;
}

// A private engine per test, so files registered by one test never serve another.
class DejaVuTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dejaVuBytes().empty()) << kDejaVuSans << " is missing (fonts-dejavu-core)"; }

    QV::UIA::Font::CreateData data(int size, uint32_t style = 0, const std::string& name = "DejaVuSans.ttf") const
    {
        QV::UIA::Font::CreateData d;
        d.name = name;
        d.size = size;
        d.style = style;
        d.engine = m_engine.handle();
        return d;
    }
    std::unique_ptr<QV::UIA::Font> dejaVu(int size, uint32_t style = 0)
    {
        return fontFromBytes(dejaVuBytes(), data(size, style));
    }

    QV::UIA::FontEngine m_engine;
};

}  // namespace qvtest

namespace QV::GP {

inline void PrintTo(const Rect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

}  // namespace QV::GP
