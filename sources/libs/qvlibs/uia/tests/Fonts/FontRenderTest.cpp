// Drawing text with DejaVu Sans into pictures: where the coverage lands, how it is blended, and
// what the drawing leaves alone.
#include "FontFixture.h"

#include "Fonts/FTCharBitmap.h"

namespace {

using QV::GP::Rect;
using QV::UIA::Font;
using QV::UIA::Picture;
using qvtest::changedBox;
using qvtest::dejaVuBytes;
using qvtest::glyphBox;
using qvtest::makePicture;
using qvtest::ReferenceFace;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;
constexpr Font::eAlignment kTopLeft = Font::eAlignment(Font::eAlignLeft | Font::eAlignTop);

class FontRender : public qvtest::DejaVuTest {};

TEST_F(FontRender, KnownStringLandsWhereTheGlyphsCover)
{
    const auto font = dejaVu(16);
    const ReferenceFace reference(dejaVuBytes(), 16);
    auto picture = makePicture(220, 40, kWhite);
    const Rect rect(10, 5, 210, 35);
    font->renderTextMultiline(*picture, rect, "Hello, World!", kBlack, kTopLeft, 0);

    const int baseline = rect.top + reference.ascent();
    EXPECT_EQ(changedBox(*picture, kWhite), glyphBox(reference, U"Hello, World!", rect.left, baseline));
    // Black over white: every touched pixel is an opaque grey, and the glyphs' cores are black.
    bool bSolid = false;
    for (int y = 0; y < picture->getHeight(); ++y) {
        for (int x = 0; x < picture->getWidth(); ++x) {
            const uint32_t p = picture->getPixel(x, y);
            ASSERT_EQ(p >> 24, 0xFFu);
            ASSERT_TRUE((p & 0xFF) == ((p >> 8) & 0xFF) && (p & 0xFF) == ((p >> 16) & 0xFF)) << std::hex << p;
            bSolid = bSolid || p == kBlack;
        }
    }
    EXPECT_TRUE(bSolid);
}

TEST_F(FontRender, AlignmentPlacesTheBlockInTheRectangle)
{
    const auto font = dejaVu(14);
    const ReferenceFace reference(dejaVuBytes(), 14);
    const Rect rect(20, 10, 180, 70);
    const int w = reference.width(U"Align");
    const int lineHeight = reference.lineHeight();
    const int ascent = reference.ascent();
    struct Case {
        uint32_t alignment;
        int x;
        int baseline;
    } const cases[] = {
        {Font::eAlignLeft | Font::eAlignTop, rect.left, rect.top + ascent},
        {Font::eAlignRight | Font::eAlignTop, rect.right - w, rect.top + ascent},
        {Font::eAlignLeft | Font::eAlignBottom, rect.left, rect.bottom - lineHeight + ascent},
        {Font::eAlignCenter, rect.left + (rect.width() - w + 1) / 2,
         rect.top + ascent + (rect.height() - lineHeight) / 2},
        {Font::eAlignRight | Font::eAlignBottom, rect.right - w, rect.bottom - lineHeight + ascent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "alignment " << c.alignment);
        auto picture = makePicture(200, 80, kWhite);
        font->renderTextMultiline(*picture, rect, "Align", kBlack, Font::eAlignment(c.alignment), 0);
        EXPECT_EQ(changedBox(*picture, kWhite), glyphBox(reference, U"Align", c.x, c.baseline));
    }
}

TEST_F(FontRender, LinesAreSpacedAndCentredAsABlock)
{
    const auto font = dejaVu(12);
    const ReferenceFace reference(dejaVuBytes(), 12);
    const int lineHeight = reference.lineHeight();
    const int spacing = 2;
    const int block = 3 * lineHeight + 2 * spacing;
    const Rect rect(4, 6, 100, 6 + block + 4);
    auto picture = makePicture(110, rect.bottom + 10, kWhite);
    font->renderTextMultiline(*picture, rect, "H\nHH\nH", kBlack, Font::eAlignment(Font::eAlignLeft), spacing);

    const int first = rect.top + reference.ascent() + 2;  // (4 extra pixels) / 2
    Rect expected = glyphBox(reference, U"H", rect.left, first);
    expected = expected.united(glyphBox(reference, U"HH", rect.left, first + lineHeight + spacing));
    expected = expected.united(glyphBox(reference, U"H", rect.left, first + 2 * (lineHeight + spacing)));
    EXPECT_EQ(changedBox(*picture, kWhite), expected);

    // Each line is aligned by itself: the short lines end where the long one ends.
    auto right = makePicture(110, rect.bottom + 10, kWhite);
    font->renderTextMultiline(*right, rect, "H\nHH", kBlack, Font::eAlignment(Font::eAlignRight | Font::eAlignTop), 0);
    const int h = reference.advance('H');
    Rect expectedRight = glyphBox(reference, U"H", rect.right - h, rect.top + reference.ascent());
    expectedRight = expectedRight.united(
        glyphBox(reference, U"HH", rect.right - 2 * h, rect.top + reference.ascent() + lineHeight));
    EXPECT_EQ(changedBox(*right, kWhite), expectedRight);
}

TEST_F(FontRender, DrawingStaysInsideTheRectangleAndTheClipAndKeepsThem)
{
    const auto font = dejaVu(20);
    const char text[] = "A line much wider than its box\nand a second one";

    // The rectangle cuts the glyphs.
    auto picture = makePicture(200, 60, kWhite);
    const Rect narrow(30, 5, 70, 45);
    font->renderTextMultiline(*picture, narrow, text, kBlack, kTopLeft, 0);
    const Rect changed = changedBox(*picture, kWhite);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(narrow.contains(changed)) << testing::PrintToString(changed);
    EXPECT_FALSE(picture->isClipActive());
    EXPECT_EQ(picture->getClipRect(), Rect(0, 0, 200, 60));

    // An active clip cuts them further and survives the drawing; so does the origin.
    auto clipped = makePicture(200, 60, kWhite);
    clipped->setOrigin(QV::GP::Point(10, 4));
    clipped->setClipRect(Rect(0, 0, 40, 50));
    font->renderTextMultiline(*clipped, Rect(-20, -4, 180, 50), text, kBlack, kTopLeft, 0);
    const Rect changedClipped = changedBox(*clipped, kWhite);
    EXPECT_FALSE(changedClipped.isEmpty());
    EXPECT_TRUE(Rect(10, 4, 50, 54).contains(changedClipped)) << testing::PrintToString(changedClipped);
    EXPECT_TRUE(clipped->isClipActive());
    EXPECT_EQ(clipped->getClipRect(), Rect(0, 0, 40, 50));
    EXPECT_EQ(clipped->getOrigin(), QV::GP::Point(10, 4));

    // Text that runs off the picture's edges is cut there.
    auto small = makePicture(30, 12, kWhite);
    font->renderTextMultiline(*small, Rect(-15, -8, 400, 30), text, kBlack, kTopLeft, 0);
    EXPECT_FALSE(changedBox(*small, kWhite).isEmpty());
}

TEST_F(FontRender, TheOriginMovesTheText)
{
    const auto font = dejaVu(16);
    auto plain = makePicture(120, 40, kWhite);
    auto moved = makePicture(120, 40, kWhite);
    moved->setOrigin(QV::GP::Point(7, 3));
    const Rect rect(2, 2, 100, 30);
    font->renderTextMultiline(*plain, rect, "Origin", kBlack, kTopLeft, 0);
    font->renderTextMultiline(*moved, rect, "Origin", kBlack, kTopLeft, 0);
    Rect expected = changedBox(*plain, kWhite);
    expected.moveBy(7, 3);
    EXPECT_EQ(changedBox(*moved, kWhite), expected);
}

TEST_F(FontRender, NothingIsDrawnWithoutTextFaceRectangleOrAlpha)
{
    const auto font = dejaVu(16);
    const Font unloaded(data(16, 0, ""));
    const char withNul[] = "\0abc";
    struct Case {
        const char* what;
        const Font* font;
        QV::GP::CharSequence<char> text;
        Rect rect;
        uint32_t colour;
    } const cases[] = {
        {"empty text", font.get(), "", Rect(0, 0, 80, 30), kBlack},
        {"text starting with NUL", font.get(), QV::GP::CharSequence<char>(withNul, 4), Rect(0, 0, 80, 30), kBlack},
        {"empty rectangle", font.get(), "Text", Rect(10, 10, 10, 30), kBlack},
        {"turned rectangle", font.get(), "Text", Rect(50, 30, 10, 0), kBlack},
        {"transparent colour", font.get(), "Text", Rect(0, 0, 80, 30), 0x00000000},
        {"no face", &unloaded, "Text", Rect(0, 0, 80, 30), kBlack},
    };
    for (const Case& c : cases) {
        auto picture = makePicture(80, 30, kWhite);
        c.font->renderTextMultiline(*picture, c.rect, c.text, c.colour, Font::eAlignment(Font::eAlignCenter), 0);
        EXPECT_TRUE(changedBox(*picture, kWhite).isEmpty()) << c.what;
    }
}

TEST_F(FontRender, CoverageBlendsInWholeSteps)
{
    const auto font = dejaVu(12);
    QV::UIA::DETAIL::FTCharBitmap glyph;
    glyph.width = 3;
    glyph.rows = 1;
    glyph.pitch = 3;
    glyph.top = 2;
    glyph.left = 1;
    glyph.coverage = {0, 1, 255};

    struct Case {
        uint32_t colour;
        uint32_t expected[3];
    } const cases[] = {
        // Coverage 0 never changes a pixel; coverage 1 in an opaque colour blends with a = 1.
        {0xFF0000FF, {0x10808080, 0x117F7F80, 0xFF0000FE}},
        // Alpha 0x80: 1 x 128 stays below a whole step and leaves the pixel; 255 x 128 gives a = 128.
        {0x800000FF, {0x10808080, 0x10808080, 0x904040BF}},
    };
    for (const Case& c : cases) {
        auto picture = makePicture(8, 6, 0x10808080);
        font->renderChar(*picture, 3, 5, glyph, c.colour);  // row 5 - 2, columns 3 + 1 ...
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(picture->getPixel(4 + i, 3), c.expected[i]) << std::hex << c.colour << " column " << i;
        EXPECT_EQ(changedBox(*picture, 0x10808080).top, 3);
    }

    // A glyph partly off the picture is cut at its edges.
    auto picture = makePicture(4, 4, 0x10808080);
    font->renderChar(*picture, -3, 2, glyph, 0xFF0000FF);  // columns -2, -1, 0
    EXPECT_EQ(picture->getPixel(0, 0), 0xFF0000FEu);
    EXPECT_EQ(changedBox(*picture, 0x10808080), Rect(0, 0, 1, 1));
    font->renderChar(*picture, 2, 100, glyph, 0xFF0000FF);
    font->renderChar(*picture, 1000, 2, glyph, 0xFF0000FF);
    EXPECT_EQ(changedBox(*picture, 0x10808080), Rect(0, 0, 1, 1));
}

TEST_F(FontRender, UnderlineIsDrawnEvenUnderASpace)
{
    const int size = 24;
    const auto font = dejaVu(size, Font::eStyleUnderline);
    const ReferenceFace reference(dejaVuBytes(), size);
    const int position = int(std::lround(reference.pixels(reference.face()->underline_position)));
    const int thickness = int(std::ceil(reference.pixels(reference.face()->underline_thickness)));
    ASSERT_GT(thickness, 0);

    auto picture = makePicture(60, 40, kWhite);
    const Rect rect(5, 2, 55, 38);
    font->renderTextMultiline(*picture, rect, "  ", kBlack, kTopLeft, 0);
    const int baseline = rect.top + reference.ascent();
    EXPECT_EQ(changedBox(*picture, kWhite), Rect(rect.left, baseline - position, rect.left + 2 * reference.advance(' '),
                                                 baseline - position + thickness));

    // Without the style bit a space draws nothing.
    const auto plain = dejaVu(size);
    auto blank = makePicture(60, 40, kWhite);
    plain->renderTextMultiline(*blank, rect, "  ", kBlack, kTopLeft, 0);
    EXPECT_TRUE(changedBox(*blank, kWhite).isEmpty());
}

}  // namespace
