// Glyph bitmaps in every form FreeType hands out become 8-bit coverage; a font whose glyphs come
// from a 1-bit strike draws exactly its bits.
#include "FontFixture.h"

#include "Fonts/GlyphCoverage.h"

#include <string>

namespace {

using QV::UIA::Font;
using QV::UIA::DETAIL::toCoverage;

FT_Bitmap bitmapOf(unsigned char pixelMode, unsigned width, unsigned rows, int pitch, unsigned char* buffer,
                   unsigned short grays = 0)
{
    FT_Bitmap bitmap{};
    bitmap.pixel_mode = pixelMode;
    bitmap.width = width;
    bitmap.rows = rows;
    bitmap.pitch = pitch;
    bitmap.buffer = buffer;
    bitmap.num_grays = grays;
    return bitmap;
}

TEST(GlyphCoverage, EveryPixelModeBecomesEightBitCoverage)
{
    // 10 pixels wide: the second byte of each 1-bit row holds two pixels in its top bits.
    unsigned char mono[] = {0xA0, 0x40, 0xFF, 0xC0};
    unsigned char monoUp[] = {0xFF, 0xC0, 0xA0, 0x40};  // the same rows stored bottom first
    unsigned char gray2[] = {0x1B};                     // 0, 1, 2, 3
    unsigned char gray4[] = {0x0F, 0x80};               // 0, 15, 8, 0
    unsigned char gray[] = {0, 1, 128, 255, 9, 9};      // 4 pixels, pitch 6
    unsigned char gray16[] = {0, 5, 15};                // a grey bitmap of 16 levels
    unsigned char bgra[] = {10, 20, 30, 0, 1, 2, 3, 200};
    struct Case {
        const char* what;
        FT_Bitmap bitmap;
        std::vector<uint8_t> expected;
    } const cases[] = {
        {"mono", bitmapOf(FT_PIXEL_MODE_MONO, 10, 2, 2, mono), {255, 0,   255, 0,   0,   0,   0,   0,   0,   255,
                                                                255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
        {"mono, upward flow",
         bitmapOf(FT_PIXEL_MODE_MONO, 10, 2, -2, monoUp),
         {255, 0, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
        {"2 bits", bitmapOf(FT_PIXEL_MODE_GRAY2, 4, 1, 1, gray2), {0, 85, 170, 255}},
        {"4 bits", bitmapOf(FT_PIXEL_MODE_GRAY4, 3, 1, 2, gray4), {0, 255, 136}},
        {"8 bits", bitmapOf(FT_PIXEL_MODE_GRAY, 4, 1, 6, gray, 256), {0, 1, 128, 255}},
        {"8 bits of 16 levels", bitmapOf(FT_PIXEL_MODE_GRAY, 3, 1, 3, gray16, 16), {0, 85, 255}},
        {"colour", bitmapOf(FT_PIXEL_MODE_BGRA, 2, 1, 8, bgra), {0, 200}},
        {"empty", bitmapOf(FT_PIXEL_MODE_MONO, 0, 0, 0, nullptr), {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out{1, 2, 3};
        EXPECT_TRUE(toCoverage(c.bitmap, out)) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
    }

    unsigned char lcd[] = {1, 2, 3};
    std::vector<uint8_t> out{1};
    EXPECT_FALSE(toCoverage(bitmapOf(FT_PIXEL_MODE_LCD, 1, 1, 3, lcd), out));
    EXPECT_TRUE(out.empty());
}

// A bitmap-only font of one 8-pixel strike, 1 bit a pixel: 'A' and '?'.
constexpr char kStrikeFont[] = "STARTFONT 2.1\n"
                               "FONT -qv-strike-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
                               "SIZE 8 75 75\n"
                               "FONTBOUNDINGBOX 8 8 0 -1\n"
                               "STARTPROPERTIES 5\n"
                               "PIXEL_SIZE 8\n"
                               "FONT_ASCENT 7\n"
                               "FONT_DESCENT 1\n"
                               "CHARSET_REGISTRY \"ISO10646\"\n"
                               "CHARSET_ENCODING \"1\"\n"
                               "ENDPROPERTIES\n"
                               "CHARS 2\n"
                               "STARTCHAR question\n"
                               "ENCODING 63\n"
                               "SWIDTH 750 0\n"
                               "DWIDTH 6 0\n"
                               "BBX 5 7 0 0\n"
                               "BITMAP\n70\n88\n08\n10\n20\n00\n20\n"
                               "ENDCHAR\n"
                               "STARTCHAR A\n"
                               "ENCODING 65\n"
                               "SWIDTH 1000 0\n"
                               "DWIDTH 8 0\n"
                               "BBX 8 8 0 -1\n"
                               "BITMAP\n18\n24\n42\n42\n7E\n42\n42\n81\n"
                               "ENDCHAR\n"
                               "ENDFONT\n";

constexpr uint8_t kGlyphA[8] = {0x18, 0x24, 0x42, 0x42, 0x7E, 0x42, 0x42, 0x81};

class StrikeFont : public qvtest::DejaVuTest {
protected:
    std::unique_ptr<Font> strike(int size, uint32_t style = 0)
    {
        std::string const text(kStrikeFont);
        return qvtest::fontFromBytes(std::vector<unsigned char>(text.begin(), text.end()), data(size, style, "strike"));
    }
};

TEST_F(StrikeFont, DrawsExactlyTheBitsOfTheStrike)
{
    const auto font = strike(8);
    ASSERT_TRUE(font->isLoaded());
    EXPECT_EQ(font->getStringWidth("AA?"), 8 + 8 + 6);

    auto picture = qvtest::makePicture(20, 12, 0xFFFFFFFF);
    // Top-aligned: the baseline lies one ascent below the top; the glyph's top row 7 rows above it.
    font->renderTextMultiline(*picture, QV::GP::Rect(3, 2, 20, 12), "A", 0xFF000000,
                              Font::eAlignment(Font::eAlignLeft | Font::eAlignTop), 0);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            const int row = y - 2, column = x - 3;
            const bool bSet = row >= 0 && row < 8 && column >= 0 && column < 8 && (kGlyphA[row] >> (7 - column)) & 1;
            // Full coverage over white: (255 x 1 + 0 x 255) >> 8 = 0, opaque black.
            EXPECT_EQ(picture->getPixel(x, y), bSet ? 0xFF000000u : 0xFFFFFFFFu) << x << ", " << y;
        }
    }
}

TEST_F(StrikeFont, MetricsComeFromTheStrikeInPixels)
{
    const auto font = strike(8, Font::eStyleUnderline);
    ASSERT_TRUE(font->isLoaded());
    // Ascent 7 plus descent 1; one more because the underline one pixel down reaches the next line.
    EXPECT_EQ(font->getCharHeight(), 9);
    // No strike of another size: no face.
    EXPECT_FALSE(strike(9)->isLoaded());

    auto picture = qvtest::makePicture(12, 12, 0xFFFFFFFF);
    font->renderTextMultiline(*picture, QV::GP::Rect(0, 0, 12, 12), "A", 0xFF000000,
                              Font::eAlignment(Font::eAlignLeft | Font::eAlignTop), 0);
    // The underline: one pixel under the baseline (row 7), as wide as the advance.
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(picture->getPixel(x, 8), 0xFF000000u) << x;
    EXPECT_EQ(picture->getPixel(8, 8), 0xFFFFFFFFu);
}

}  // namespace
