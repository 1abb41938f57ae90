// Measuring text with DejaVu Sans: every expected width comes from FreeType asked directly.
#include "FontFixture.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using QV::UIA::Font;
using qvtest::dejaVuBytes;
using qvtest::ReferenceFace;

class FontMeasure : public qvtest::DejaVuTest {};

TEST_F(FontMeasure, WidthsAndLineHeightFollowTheFace)
{
    struct Case {
        int size;
        uint32_t style;
    } const cases[] = {{9, 0}, {12, 0}, {17, 0}, {32, 0}, {12, Font::eStyleHinting}, {17, Font::eStyleHinting}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " style " << c.style);
        const auto font = dejaVu(c.size, c.style);
        const ReferenceFace reference(dejaVuBytes(), c.size, (c.style & Font::eStyleHinting) != 0);
        ASSERT_TRUE(font->isLoaded());
        EXPECT_EQ(font->getCharHeight(), reference.lineHeight());
        EXPECT_EQ(font->getStringWidth("Hello, World!"), reference.width(U"Hello, World!"));
        EXPECT_EQ(font->getStringWidth("Gr\xC3\xBC\xC3\x9F"
                                       "e \xE2\x82\xAC"),
                  reference.width(U"Grüße €"));
    }
}

TEST_F(FontMeasure, NoKerningIsApplied)
{
    const ReferenceFace reference(dejaVuBytes(), 24);
    // The font kerns A-V itself, so summing plain advances is a real choice here.
    FT_Vector kerning{};
    FT_Get_Kerning(reference.face(), FT_Get_Char_Index(reference.face(), 'A'), FT_Get_Char_Index(reference.face(), 'V'),
                   FT_KERNING_DEFAULT, &kerning);
    ASSERT_NE(kerning.x, 0) << "the font no longer kerns A-V; pick another pair";

    const auto font = dejaVu(24);
    EXPECT_EQ(font->getStringWidth("AVAV"), 2 * (font->getStringWidth("A") + font->getStringWidth("V")));
    EXPECT_EQ(font->getStringWidth("AVAV"), reference.width(U"AVAV"));
}

TEST_F(FontMeasure, LengthsLinesAndTextEnds)
{
    const auto font = dejaVu(14);
    const int wide = font->getStringWidth("Wide line");
    ASSERT_GT(wide, font->getStringWidth("x"));

    // -1 measures up to the NUL, but only the first line.
    EXPECT_EQ(font->getStringWidth("Wide line\nx"), wide);
    EXPECT_EQ(font->getStringWidth("x\nWide line"), font->getStringWidth("x"));
    EXPECT_EQ(font->getStringWidthMultiline("x\nWide line\nab"), wide);
    EXPECT_EQ(font->getStringWidthMultiline("Wide line\n\n"), wide);
    EXPECT_EQ(font->getStringWidthMultiline(""), 0);

    // A length counts bytes, and a NUL inside it still ends the measure.
    EXPECT_EQ(font->getStringWidth("Hello", 3), font->getStringWidth("Hel"));
    EXPECT_EQ(font->getStringWidth("ab\0cd", 5), font->getStringWidth("ab"));
    EXPECT_EQ(font->getStringWidth("Hello", 0), 0);
    EXPECT_EQ(font->getStringWidth(nullptr), 0);
}

// A bad byte is a character of its own (the platform core's walk) that no font has a glyph for:
// it takes the missing glyph's room, and a position can fall on either side of it.
TEST_F(FontMeasure, InvalidUtf8BytesAreMissingGlyphs)
{
    const auto font = dejaVu(14);
    const ReferenceFace reference(dejaVuBytes(), 14);
    ASSERT_EQ(FT_Load_Glyph(reference.face(), 0, FT_LOAD_RENDER | FT_LOAD_NO_HINTING), 0);
    const int missing = int(std::lrint(reference.face()->glyph->advance.x / 64.0));
    ASSERT_GT(missing, 0);
    const int a = font->getStringWidth("A");
    const int ab = font->getStringWidth("AB");

    struct Case {
        const char* text;
        int length;  // bytes, -1 up to the NUL
        int width;
    } const cases[] = {
        {"A\xFF"
         "B",
         -1, ab + missing},  // a byte that is never UTF-8
        {"A\xC3"
         "B",
         -1, ab + missing},                    // a sequence cut short: the 'B' stays
        {"AB\xE2\x82", -1, ab + 2 * missing},  // cut short at the end: two bad bytes
        {"A\xED\xA0\x80"
         "B",
         -1, ab + 3 * missing},             // an encoded surrogate
        {"\xC3\xA9", 1, missing},           // a length that splits a character
        {"\xF4\x8F\xBF\xBF", -1, missing},  // U+10FFFF: valid, but not in the font
    };
    for (const Case& c : cases)
        EXPECT_EQ(font->getStringWidth(c.text, c.length), c.width) << testing::PrintToString(c.text);

    // The bad byte crossed by the width is a glyph like any other.
    EXPECT_EQ(font->getCharPos("A\xFF"
                               "B",
                               a + 1, Font::eRoundBefore),
              1);
    EXPECT_EQ(font->getCharPos("A\xFF"
                               "B",
                               a + 1, Font::eRoundAfter),
              2);
    EXPECT_EQ(font->getCharPos("A\xFF"
                               "B",
                               10000, Font::eRoundAfter),
              3);

    // Drawn, it is the same box as a code point the font lacks.
    const auto drawn = [&](const char* text) {
        auto picture = qvtest::makePicture(40, 30, 0xFFFFFFFF);
        font->renderTextMultiline(*picture, QV::GP::Rect(2, 2, 38, 28), text, 0xFF000000,
                                  Font::eAlignment(Font::eAlignLeft | Font::eAlignTop), 0);
        std::vector<uint32_t> pixels(picture->getData(), picture->getData() + 40 * 30);
        return pixels;
    };
    EXPECT_EQ(drawn("\xFF"), drawn("\xF4\x8F\xBF\xBF"));
    EXPECT_NE(drawn("\xFF"), drawn(""));
}

TEST_F(FontMeasure, CharPosRounding)
{
    const auto font = dejaVu(20);
    const int w = font->getStringWidth("W");
    const int i = font->getStringWidth("i");
    ASSERT_GT(w, 4);
    struct Case {
        const char* text;
        int width;
        Font::eRounding rounding;
        int expected;
    } const cases[] = {
        {"Wiki", 0, Font::eRoundAfter, 0},
        {"Wiki", -5, Font::eRoundNearest, 0},
        // Exactly the first glyph: it fits; the second one crosses.
        {"Wiki", w, Font::eRoundNearest, 1},
        {"Wiki", w, Font::eRoundBefore, 1},
        {"Wiki", w, Font::eRoundAfter, 2},
        // Inside the first glyph.
        {"Wiki", 1, Font::eRoundBefore, 0},
        {"Wiki", 1, Font::eRoundAfter, 1},
        {"Wiki", 1, Font::eRoundNearest, 0},
        {"Wiki", w - 1, Font::eRoundNearest, 1},
        {"Wiki", w / 2, Font::eRoundNearest, 0},  // for an even advance a tie, which goes before
        {"Wiki", w / 2 + 1, Font::eRoundNearest, 1},
        {"Wiki", w + i, Font::eRoundAfter, 3},
        // The text ends first: its end, the '\n' included.
        {"Wiki", 10000, Font::eRoundBefore, 4},
        {"Wi\nkiki", 10000, Font::eRoundAfter, 2},
        {"", 10, Font::eRoundAfter, 0},
        // Offsets count bytes: two bytes per e-acute.
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 1, Font::eRoundAfter, 2},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 10000, Font::eRoundAfter, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(font->getCharPos(c.text, c.width, c.rounding), c.expected)
            << '"' << c.text << "\" width " << c.width << " rounding " << c.rounding;

    const int e = font->getStringWidth("\xC3\xA9");
    EXPECT_EQ(font->getCharPos("\xC3\xA9\xC3\xA9\xC3\xA9", e + 1, Font::eRoundBefore), 2);
    EXPECT_EQ(font->getCharPos("\xC3\xA9\xC3\xA9\xC3\xA9", e + 1, Font::eRoundAfter), 4);
}

TEST_F(FontMeasure, HorizontalAlignmentOffset)
{
    const auto font = dejaVu(16);
    const char text[] = "Hi there";
    const int w = font->getStringWidth(text);
    const auto align = [](uint32_t bits) { return Font::eAlignment(bits); };
    struct Case {
        uint32_t alignment;
        int box;
        int expected;
    } const cases[] = {
        {Font::eAlignLeft, w + 10, 0},
        {Font::eAlignLeft | Font::eAlignRight, w + 10, 0},  // left wins
        {Font::eAlignRight, w + 10, 10},
        {Font::eAlignRight | Font::eAlignBottom, w + 10, 10},
        {Font::eAlignCenter, w + 1, 1},  // (1 + 1) / 2
        {Font::eAlignCenter, w + 10, 5},
        {Font::eAlignCenter | Font::eAlignTop, w + 11, 6},
        // A line that fills or overflows the box starts at its left edge.
        {Font::eAlignRight, w, 0},
        {Font::eAlignCenter, w - 3, 0},
        {Font::eAlignRight, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(font->getHorizontalAlignmentOffset(text, align(c.alignment), c.box), c.expected)
            << "alignment " << c.alignment << " box " << c.box;
    // Only the first line counts.
    EXPECT_EQ(font->getHorizontalAlignmentOffset("Hi there\nand a much longer line", Font::eAlignRight, w + 10), 10);
}

TEST_F(FontMeasure, FontsThatDidNotLoadMeasureNothing)
{
    const std::vector<unsigned char> garbage(4096, 0x5A);
    std::unique_ptr<Font> fonts[] = {
        std::make_unique<Font>(data(12, 0, "")),                 // no resource id
        qvtest::fontFromBytes(garbage, data(12, 0, "garbage")),  // FreeType refuses it
        qvtest::fontFromBytes({}, data(12, 0, "empty")),         // nothing in the stream
        qvtest::fontFromBytes(dejaVuBytes(), data(0)),           // sizes no face is made for
        qvtest::fontFromBytes(dejaVuBytes(), data(-12)),
        qvtest::fontFromBytes(dejaVuBytes(), data(Font::kMaxPixelSize + 1)),
    };
    for (const auto& font : fonts) {
        SCOPED_TRACE(font->getName() + " size " + std::to_string(font->getSize()));
        EXPECT_FALSE(font->isLoaded());
        EXPECT_EQ(font->getCharHeight(), 10);
        EXPECT_EQ(font->getStringWidth("Hello"), 0);
        EXPECT_EQ(font->getStringWidthMultiline("Hello\nWorld"), 0);
        EXPECT_EQ(font->getCharPos("Hello", 3, Font::eRoundAfter), 5);
        EXPECT_EQ(font->getHorizontalAlignmentOffset("Hello", Font::eAlignRight, 20), 20);
    }
}

TEST_F(FontMeasure, AStreamThatCannotBeReadLoadsNothing)
{
    // A stream without a storage, and one whose storage ends before the size it reported.
    QV::GP::MemoryStream noStorage;
    noStorage.setStorage(nullptr);
    const Font first(noStorage, data(12));
    EXPECT_FALSE(first.isLoaded());

    QV::GP::MemoryStream closed;  // its storage was never opened: the size is unknown
    const Font second(closed, data(12));
    EXPECT_FALSE(second.isLoaded());
}

}  // namespace
