#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/LazyPicture.h"

#include "Support/TestFont.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace QV::PXT {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;

class CanvasTest : public testing::Test {
protected:
    void SetUp() override { m_canvas.onSize(GP::Point(100, 50)); }
    std::uint32_t pixel(int x, int y) const { return m_canvas.getPicture()->getPixel(x, y); }
    // The pixels of the buffer that are not `colour`.
    int countOther(std::uint32_t colour) const
    {
        int count = 0;
        for (int y = 0; y < m_canvas.getPicture()->getHeight(); ++y)
            for (int x = 0; x < m_canvas.getPicture()->getWidth(); ++x)
                count += pixel(x, y) != colour ? 1 : 0;
        return count;
    }

    BackgroundDrawingCanvas m_canvas;
};

TEST_F(CanvasTest, OriginIsSetReadAndReset)
{
    m_canvas.setOrigin(GP::Point(10, 20));
    EXPECT_EQ(m_canvas.getOrigin(), GP::Point(10, 20));
    m_canvas.fillRect(GP::Rect(0, 0, 1, 1), kRed);
    EXPECT_EQ(pixel(10, 20), kRed);
    m_canvas.resetOrigin();
    EXPECT_EQ(m_canvas.getOrigin(), GP::Point(0, 0));
}

TEST_F(CanvasTest, ResizingClearsOnlyForANewSize)
{
    m_canvas.clear(kWhite);
    m_canvas.onSize(GP::Point(100, 50));
    EXPECT_EQ(pixel(5, 5), kWhite);
    m_canvas.onSize(GP::Point(627, 335));
    ASSERT_EQ(m_canvas.getPicture()->getWidth(), 627);
    ASSERT_EQ(m_canvas.getPicture()->getHeight(), 335);
    EXPECT_EQ(countOther(0), 0);
    EXPECT_EQ(m_canvas.getRawData(), m_canvas.getPicture()->getData());
}

TEST_F(CanvasTest, SetPixelKeepsToTheClipAndThePicture)
{
    m_canvas.clear(kWhite);
    m_canvas.setClip(GP::Rect(10, 10, 20, 20));
    m_canvas.setPixel(GP::Point(5, 5), kRed);
    EXPECT_EQ(countOther(kWhite), 0);
    m_canvas.setPixel(GP::Point(15, 15), kRed);
    EXPECT_EQ(pixel(15, 15), kRed);
    m_canvas.resetClip();

    // Clipping off, origin near the right edge: a point inside the picture's size but beyond its
    // edge once the origin is added must not wrap into the next row.
    m_canvas.clear(kWhite);
    m_canvas.setOrigin(GP::Point(95, 0));
    m_canvas.setPixel(GP::Point(10, 0), kRed);
    m_canvas.setPixel(GP::Point(-96, 0), kRed);
    EXPECT_EQ(countOther(kWhite), 0);
    m_canvas.setPixel(GP::Point(4, 1), kRed);
    EXPECT_EQ(pixel(99, 1), kRed);
}

TEST_F(CanvasTest, RectanglesLinesAndAreas)
{
    m_canvas.clear(kWhite);
    m_canvas.drawRect(GP::Rect(2, 3, 12, 8), kRed);
    EXPECT_EQ(pixel(2, 3), kRed);
    EXPECT_EQ(pixel(11, 3), kRed);
    EXPECT_EQ(pixel(2, 7), kRed);
    EXPECT_EQ(pixel(11, 7), kRed);
    EXPECT_EQ(pixel(12, 3), kWhite);
    EXPECT_EQ(pixel(2, 8), kWhite);
    EXPECT_EQ(pixel(5, 5), kWhite);
    EXPECT_EQ(countOther(kWhite), 2 * 10 + 2 * 3);

    m_canvas.clear(kWhite);
    m_canvas.fillRect(GP::Rect(2, 3, 12, 8), kRed);
    EXPECT_EQ(countOther(kWhite), 50);
    m_canvas.invertArea(GP::Rect(2, 3, 3, 4));
    EXPECT_EQ(pixel(2, 3), 0xFF00FFFF);
    m_canvas.setAreaColor(GP::Rect(0, 0, 1, 1), 0x80123456);
    EXPECT_EQ(pixel(0, 0), 0x80123456u);

    m_canvas.clear(kWhite);
    m_canvas.drawLineH(GP::Point(1, 1), 5, kRed);
    m_canvas.drawLineV(GP::Point(1, 2), 5, kRed);
    m_canvas.drawLine(GP::Point(10, 10), GP::Point(20, 20), kRed, false);
    EXPECT_EQ(countOther(kWhite), 5 + 5 + 10);
    EXPECT_EQ(pixel(15, 15), kRed);
}

TEST_F(CanvasTest, PicturesCopiedOrBlendedByMode)
{
    UIA::Picture picture;
    ASSERT_TRUE(picture.setSize(4, 4, true));
    picture.clear(kRed);
    m_canvas.clear(0x00000000);
    m_canvas.setAreaColor(GP::Rect(10, 0, 14, 4), kWhite);
    // Copy: the pixels as they are.
    m_canvas.drawPicture(GP::Point(0, 0), picture, 0, nullptr, eCombineCopy);
    EXPECT_EQ(pixel(3, 3), kRed);
    EXPECT_EQ(pixel(4, 4), 0u);
    // Blend: shown only where the buffer has alpha (its alpha kept).
    m_canvas.drawPicture(GP::Point(8, 0), picture, 0, nullptr, eCombineBlend);
    EXPECT_EQ(pixel(8, 0), 0u);
    EXPECT_EQ(pixel(10, 0), kRed);
    // A missing picture draws nothing.
    m_canvas.drawPicture(GP::Point(20, 20), LazyPicture(), 0, nullptr, eCombineCopy);
    EXPECT_EQ(pixel(20, 20), 0u);
}

TEST_F(CanvasTest, DyeColoursThroughTheMaskAlpha)
{
    UIA::Picture mask;
    ASSERT_TRUE(mask.setSize(4, 4, true));
    mask.clear(0x00000000);
    mask.setPixelUC(1, 1, 0xFF000000);
    m_canvas.clear(kWhite);
    m_canvas.dyeUsingStretchedAlphaMask(GP::Rect(10, 10, 14, 14), kRed, mask, 0, nullptr);
    EXPECT_EQ(pixel(11, 11), kRed);
    EXPECT_EQ(countOther(kWhite), 1);
}

class CanvasTextTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        m_font = TEST::makeTestFont(14);
        ASSERT_TRUE(m_font->isLoaded());
    }
    // The box of the pixels that are not `colour`, or an empty one.
    GP::Rect changedBox(std::uint32_t colour) const
    {
        GP::Rect box;
        for (int y = 0; y < m_canvas.getPicture()->getHeight(); ++y)
            for (int x = 0; x < m_canvas.getPicture()->getWidth(); ++x)
                if (pixel(x, y) != colour)
                    box = box.united(GP::Rect(x, y, x + 1, y + 1));
        return box;
    }
    std::unique_ptr<UIA::Font> m_font;
};

TEST_F(CanvasTextTest, HorizontalTextLiesInItsRectangle)
{
    m_canvas.clear(kWhite);
    m_canvas.drawText("Hello", GP::Rect(10, 5, 90, 45), *m_font, 0xFF000000, eTextAlignment(eAlignLeft | eAlignTop),
                      eRotationNone);
    const GP::Rect box = changedBox(kWhite);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GE(box.left, 10);
    EXPECT_LE(box.left, 12);
    EXPECT_GE(box.top, 5);
    EXPECT_LT(box.bottom, 25);
}

TEST_F(CanvasTextTest, TurnedTextReadsUpwardsFromTheBottomLeftAndKeepsThePixelsBetween)
{
    m_canvas.onSize(GP::Point(60, 120));
    // A translucent background: it must come back exactly, not composited with anything.
    const std::uint32_t background = 0x80336699;
    m_canvas.clear(background);
    const GP::Rect r(10, 10, 30, 110);
    m_canvas.drawText("Hello", r, *m_font, 0xFF000000, eTextAlignment(eAlignLeft | eAlignBottom), eRotation90);
    const GP::Rect box = changedBox(background);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(r.contains(box));
    // Against the bottom and the left edge, reading upwards: exactly the upright text aligned left
    // and top in a 100 x 20 box, turned counter-clockwise.
    BackgroundDrawingCanvas upright;
    upright.onSize(GP::Point(100, 20));
    upright.clear(background);
    upright.drawText("Hello", GP::Rect(0, 0, 100, 20), *m_font, 0xFF000000, eTextAlignment(eAlignLeft | eAlignTop),
                     eRotationNone);
    GP::Rect h;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            if (upright.getPicture()->getPixel(x, y) != background)
                h = h.united(GP::Rect(x, y, x + 1, y + 1));
    ASSERT_FALSE(h.isEmpty());
    EXPECT_EQ(box.left - r.left, h.top);
    EXPECT_EQ(box.right - r.left, h.bottom);
    EXPECT_EQ(r.bottom - box.bottom, h.left);
    EXPECT_EQ(r.bottom - box.top, h.right);
    for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(pixel(r.left + j, r.bottom - 1 - i), upright.getPicture()->getPixel(i, j)) << i << "," << j;

    // A second turned text of the same size leaves no trace of the first outside its glyphs.
    m_canvas.clear(background);
    m_canvas.drawText(".", r, *m_font, 0xFF000000, eTextAlignment(eAlignLeft | eAlignBottom), eRotation90);
    const GP::Rect dot = changedBox(background);
    EXPECT_LT(dot.height(), 6);
}

TEST_F(CanvasTextTest, TurnedTextStaysInsideTheClipAndThePicture)
{
    m_canvas.clear(kWhite);
    m_canvas.setClip(GP::Rect(0, 0, 100, 30));
    m_canvas.drawText("Hello", GP::Rect(10, 10, 30, 110), *m_font, 0xFF000000,
                      eTextAlignment(eAlignLeft | eAlignBottom), eRotation90);
    m_canvas.resetClip();
    const GP::Rect box = changedBox(kWhite);
    EXPECT_TRUE(box.isEmpty() || box.bottom <= 30);
    // Partly outside the picture: no crash, nothing outside.
    m_canvas.drawText("Hello", GP::Rect(-10, -20, 10, 80), *m_font, 0xFF000000, eAlignCenter, eRotation90);
}

}  // namespace
}  // namespace QV::PXT
