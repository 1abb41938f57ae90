// A glyph FreeType cannot load is served as '?': DejaVu Sans with the outline of 'B' broken.
#include "FontFixture.h"

#include "Fonts/FreeType.h"

#include <algorithm>
#include <cstring>

namespace {

using QV::UIA::Font;
using QV::UIA::DETAIL::FaceKey;
using QV::UIA::DETAIL::FontKey;

uint32_t readBig(const std::vector<unsigned char>& bytes, std::size_t at, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes.at(at + std::size_t(i));
    return value;
}

// The offset of a table of the font file, 0 when it has none.
std::size_t tableOffset(const std::vector<unsigned char>& bytes, const char* tag)
{
    const uint32_t tables = readBig(bytes, 4, 2);
    for (uint32_t i = 0; i < tables; ++i) {
        std::size_t const record = 12 + 16 * std::size_t(i);
        if (std::memcmp(&bytes.at(record), tag, 4) == 0)
            return readBig(bytes, record + 8, 4);
    }
    return 0;
}

// The font with the outline of c claiming more contours than its glyph can hold.
std::vector<unsigned char> withBrokenGlyph(std::vector<unsigned char> bytes, char32_t c)
{
    qvtest::ReferenceFace const face(bytes, 12);
    const FT_UInt index = FT_Get_Char_Index(face.face(), c);
    std::size_t const head = tableOffset(bytes, "head");
    std::size_t const loca = tableOffset(bytes, "loca");
    std::size_t const glyf = tableOffset(bytes, "glyf");
    if (!index || !head || !loca || !glyf)
        return {};
    const bool bLongOffsets = readBig(bytes, head + 50, 2) != 0;
    std::size_t const glyph =
        glyf + (bLongOffsets ? readBig(bytes, loca + 4 * index, 4) : 2 * readBig(bytes, loca + 2 * index, 2));
    bytes.at(glyph) = 0x7F;  // numberOfContours 0x7Fxx
    return bytes;
}

class GlyphFallback : public qvtest::DejaVuTest {};

TEST_F(GlyphFallback, AGlyphThatCannotBeLoadedIsAQuestionMark)
{
    const std::vector<unsigned char> broken = withBrokenGlyph(qvtest::dejaVuBytes(), U'B');
    ASSERT_FALSE(broken.empty());
    qvtest::ReferenceFace const reference(broken, 16);
    ASSERT_NE(FT_Load_Char(reference.face(), 'B', FT_LOAD_RENDER | FT_LOAD_NO_HINTING), 0);

    const auto font = qvtest::fontFromBytes(broken, data(16, 0, "broken"));
    ASSERT_TRUE(font->isLoaded());
    EXPECT_EQ(font->getStringWidth("B"), reference.advance('?'));
    EXPECT_EQ(font->getStringWidth("ABC"), reference.advance('A') + reference.advance('?') + reference.advance('C'));

    // The replacement is kept under '?' only: 'B' is tried again each time, and served from it.
    const auto face = m_engine.handle()->createRenderCache(FontKey(std::string("broken")), FaceKey(16, false), {});
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->getGlyphCount(), 3u);  // 'A', '?', 'C'
    EXPECT_EQ(face->getCharBitmap(U'B'), face->getCharBitmap(U'?'));
    EXPECT_EQ(face->getGlyphCount(), 3u);

    // Drawn, it is the question mark.
    auto picture = qvtest::makePicture(40, 30, 0xFFFFFFFF);
    auto question = qvtest::makePicture(40, 30, 0xFFFFFFFF);
    QV::GP::Rect const rect(2, 2, 38, 28);
    font->renderTextMultiline(*picture, rect, "B", 0xFF000000, Font::eAlignment(Font::eAlignCenter), 0);
    font->renderTextMultiline(*question, rect, "?", 0xFF000000, Font::eAlignment(Font::eAlignCenter), 0);
    EXPECT_FALSE(qvtest::changedBox(*picture, 0xFFFFFFFF).isEmpty());
    EXPECT_TRUE(std::equal(picture->getData(), picture->getData() + 40 * 30, question->getData()));
}

}  // namespace
