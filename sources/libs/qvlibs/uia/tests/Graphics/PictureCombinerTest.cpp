// Picture combiners: the blend, dye and copy rules on hand-computed pixels, 1:1 and tiled
// combining with clipping at every edge, source rectangles cut to the source, frames, and the
// nine-patch at natural and stretched sizes.
#include "PictureChecks.h"

#include "UIA/Picture.h"
#include "UIA/PictureCombiner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using QV::GP::Point;
using QV::GP::Rect;
using QV::UIA::Picture;
using QV::UIA::PictureCombiner;
using QV::UIA::PictureCombinerFunctors::BlendUsingAlpha;
using QV::UIA::PictureCombinerFunctors::CopySource;
using QV::UIA::PictureCombinerFunctors::DyeUsingAlphaMask;
using qvtest::changedPixels;
using qvtest::makeCoordinatePicture;
using qvtest::makePicture;

constexpr uint32_t kPaper = 0x11111111;

// Rows of nine equal pixels: eight go through the four-pixel path, the last one alone.
constexpr int kRow = 9;

TEST(PictureBlend, StraightAlphaOverOpaqueAndTranslucentTargets)
{
    struct Case {
        uint32_t source;
        uint32_t target;
        uint32_t expected;
    } const cases[] = {
        // m = div255(sA tA); C = div255(tC (255 - m) + sC m); the target's alpha stays
        {0x80FF0000, 0xFF0000FF, 0xFF80007F},  // half red over opaque blue: m = 128
        {0x80FF0000, 0x800000FF, 0x804000BF},  // over half-transparent blue: m = 64
        {0xFF336699, 0xFFFFFFFF, 0xFF336699},  // opaque over opaque: the source colour
        {0xFF336699, 0x00123456, 0x00123456},  // transparent target: unchanged
        {0x00336699, 0xFF123456, 0xFF123456},  // transparent source: unchanged
        {0xFF336699, 0x40000000, 0x400C1926},  // opaque over a target of alpha 0x40
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.source << " onto " << c.target);
        auto source = makePicture(kRow, 1, c.source);
        auto target = makePicture(kRow, 1, c.target);
        target->putPicture<BlendUsingAlpha>(0, 0, *source, 0, nullptr);
        EXPECT_TRUE(changedPixels(*target, c.expected).empty());
    }
}

TEST(PictureDye, AlphaMaskPaintsTheColourAndKeepsTheTargetAlpha)
{
    struct Case {
        uint32_t mask;
        uint32_t colour;
        uint32_t target;
        uint32_t expected;
    } const cases[] = {
        // m = div255(maskA colourA); C = div255(tC (255 - m) + cC m)
        {0x80000000, 0xFF00FF00, 0xFFFF0000, 0xFF7F8000},  // half mask: half green over red
        {0xFF123456, 0xFF00FF00, 0x40FF0000, 0x4000FF00},  // opaque mask: the dye, target alpha kept
        {0xFF000000, 0x00FFFFFF, 0xFF123456, 0xFF123456},  // dye of alpha 0: unchanged
        {0x00FFFFFF, 0xFF00FF00, 0xFF123456, 0xFF123456},  // mask of alpha 0: unchanged
        {0xFF000000, 0x80FFFFFF, 0xFF000000, 0xFF808080},  // half-transparent white dye
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.mask << " " << c.colour << " onto " << c.target);
        auto mask = makePicture(kRow, 1, c.mask);
        auto target = makePicture(kRow, 1, c.target);
        DyeUsingAlphaMask dye(c.colour);
        PictureCombiner<DyeUsingAlphaMask>(*target, dye).combine(0, 0, kRow, 1, *mask, 0, 0);
        EXPECT_TRUE(changedPixels(*target, c.expected).empty());
    }
}

TEST(PictureCopyCombiner, CopiesOrCompositesStraightAlpha)
{
    struct Case {
        bool bAlphaChannel;
        uint32_t source;
        uint32_t target;
        uint32_t expected;
    } const cases[] = {
        {false, 0x80FF0000, 0xFFFFFFFF, 0x80FF0000},  // no alpha channel: copied
        {true, 0x80FF0000, 0xFFFFFFFF, 0xFFFF7F7F},   // over opaque white
        {true, 0x80FF0000, 0x800000FF, 0xC0AA0055},   // over translucent blue
        {true, 0x80FF0000, 0x00000000, 0x80FF0000},   // over nothing
        {true, 0x00FF0000, 0x00FFFFFF, 0x00000000},   // nothing over nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.source << " onto " << c.target);
        auto source = makePicture(kRow, 1, c.source);
        source->setAlphaChannel(c.bAlphaChannel);
        auto target = makePicture(kRow, 1, c.target);
        target->putPicture<CopySource>(0, 0, *source, 0, nullptr);
        EXPECT_TRUE(changedPixels(*target, c.expected).empty());
    }
}

// A 5 x 5 source put at (2, 2) of a 10 x 10 target: exactly the pixels inside the clip change,
// each from the source pixel it lies over.
TEST(PictureCombine, ClipsAtEveryEdge)
{
    const Rect clips[] = {
        Rect(4, 0, 10, 10),  // left
        Rect(0, 5, 10, 10),  // top
        Rect(0, 0, 5, 10),   // right
        Rect(0, 0, 10, 3),   // bottom
        Rect(3, 3, 6, 6),    // all four
        Rect(8, 8, 10, 10),  // misses it
    };
    const auto source = makeCoordinatePicture(5, 5);
    for (const Rect& clip : clips) {
        SCOPED_TRACE(testing::Message() << clip.left << ", " << clip.top << ", " << clip.right << ", " << clip.bottom);
        auto target = makePicture(10, 10, kPaper);
        target->setClipRect(clip);
        target->putPicture<CopySource>(2, 2, *source, 0, nullptr);
        const Rect drawn = clip.intersected(Rect(2, 2, 7, 7));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(target->getPixel(x, y), drawn.contains(Point(x, y)) ? source->getPixel(x - 2, y - 2) : kPaper)
                    << x << ", " << y;
    }
}

// Source rectangles reaching outside the source picture (or, for a frame, outside that frame)
// are cut to it, and the target rectangle with them; without a clip the target picture bounds
// the target rectangle.
TEST(PictureCombine, SourceRectanglesAreCutToTheSource)
{
    const auto source = makeCoordinatePicture(4, 4);
    struct Case {
        int x, y, width, height, sx, sy;
        Rect drawn;   // target pixels that change
        Point shift;  // source pixel = target pixel - shift
    } const cases[] = {
        {0, 0, 10, 10, -2, -1, Rect(2, 1, 6, 5), Point(2, 1)},
        {0, 0, 3, 3, 3, 3, Rect(0, 0, 1, 1), Point(-3, -3)},
        {0, 0, 5, 5, 10, 0, Rect(), Point()},
        {5, 5, 4, 4, -4, 0, Rect(), Point()},
        {1, 1, 2147483647, 2147483647, -2147483647, 0, Rect(), Point()},
        // clipping off: the target picture bounds the target rectangle
        {8, 8, 4, 4, 0, 0, Rect(8, 8, 10, 10), Point(8, 8)},
        {-2, -3, 4, 4, 0, 0, Rect(0, 0, 2, 1), Point(-2, -3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.width << ", " << c.height << " from " << c.sx
                                        << ", " << c.sy);
        auto target = makePicture(10, 10, kPaper);
        CopySource copy;
        PictureCombiner<CopySource>(*target, copy).combine(c.x, c.y, c.width, c.height, *source, c.sx, c.sy);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(target->getPixel(x, y),
                          c.drawn.contains(Point(x, y)) ? source->getPixel(x - c.shift.x, y - c.shift.y) : kPaper)
                    << x << ", " << y;
    }

    // A part of frame 1 of a stacked two-frame sheet that reaches beyond the frame.
    auto sheet = makeCoordinatePicture(4, 8);
    sheet->setNumAnimations(2);
    auto target = makePicture(10, 10, kPaper);
    const Rect part(-1, -1, 10, 10);
    target->putPicture<CopySource>(3, 3, *sheet, 1, &part);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool bInside = x >= 4 && x < 8 && y >= 4 && y < 8;
            ASSERT_EQ(target->getPixel(x, y), bInside ? sheet->getPixel(x - 4, y - 4 + 4) : kPaper) << x << ", " << y;
        }
}

TEST(PictureCombine, FramesAreClampedToTheLastOne)
{
    auto sheet = makeCoordinatePicture(2, 6);  // three stacked frames of 2 x 2
    sheet->setNumAnimations(3);
    auto target = makePicture(4, 4, kPaper);
    target->putPicture<CopySource>(1, 1, *sheet, 7, nullptr);
    const std::vector<qvtest::tChanged> expected = {{1, 1, sheet->getPixel(0, 4)},
                                                    {2, 1, sheet->getPixel(1, 4)},
                                                    {1, 2, sheet->getPixel(0, 5)},
                                                    {2, 2, sheet->getPixel(1, 5)}};
    EXPECT_EQ(changedPixels(*target, kPaper), expected);
}

// Tiles stay anchored at the rectangle's corner when the clip cuts it: cut by 13 pixels with a
// tile 10 wide, the first column drawn is the tile's column 3.
TEST(PictureCombine, TilesKeepTheirPlaceUnderTheClip)
{
    const auto tile = makeCoordinatePicture(10, 3);
    auto target = makePicture(40, 8, kPaper);
    target->setClipRect(Rect(13, 2, 40, 8));
    CopySource copy;
    PictureCombiner<CopySource>(*target, copy).combineAndRepeatSource(0, 0, 37, 7, *tile, 0, 0, 10, 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool bDrawn = x >= 13 && x < 37 && y >= 2 && y < 7;
            ASSERT_EQ(target->getPixel(x, y), bDrawn ? tile->getPixel(x % 10, y % 3) : kPaper) << x << ", " << y;
        }
    EXPECT_EQ(target->getPixel(13, 2), tile->getPixel(3, 2));
}

// Where a nine-patch pixel comes from: borders 1:1, edges and centre repeated.
int sourceOf(int position, int start, int end, int low, int centre, int high, int frameStart)
{
    const int d = position - start;
    if (d < low)
        return frameStart + d;
    if (position >= end - high)
        return frameStart + low + centre + (position - (end - high));
    return frameStart + low + (d - low) % centre;
}

TEST(PictureNinePatch, StretchedSheetKeepsCornersAndRepeatsEdgesAndCentre)
{
    struct Case {
        int sheetWidth, sheetHeight, frames;
        bool bHorizontalFrames;
        unsigned frame;
        bool bVert, bHorz;
        int top, bottom, left, right;
        Rect dest;
        int targetWidth, targetHeight;
    } const cases[] = {
        {6, 6, 0, false, 0, true, true, 2, 2, 2, 2, Rect(1, 1, 12, 10), 14, 12},  // stretched
        {6, 6, 0, false, 0, true, true, 2, 2, 2, 2, Rect(3, 2, 9, 8), 14, 12},    // natural size
        {30, 30, 0, false, 0, true, true, 10, 10, 10, 10, Rect(0, 0, 100, 40), 100, 40},
        {12, 6, 2, true, 1, true, true, 1, 2, 2, 1, Rect(0, 0, 13, 11), 14, 12},   // frame 1 of 2
        {6, 4, 0, false, 0, false, true, 1, 1, 2, 1, Rect(1, 0, 12, 11), 14, 12},  // only widens
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sheetWidth << " x " << c.sheetHeight << " into " << c.dest.width() << " x "
                                        << c.dest.height());
        auto sheet = makeCoordinatePicture(c.sheetWidth, c.sheetHeight);
        sheet->setNumAnimations(unsigned(c.frames));
        sheet->setHorizontalAnimation(c.bHorizontalFrames);
        sheet->setVertResizable(c.bVert);
        sheet->setHorzResizable(c.bHorz);
        sheet->setFixedTop(c.top);
        sheet->setFixedBottom(c.bottom);
        sheet->setFixedLeft(c.left);
        sheet->setFixedRight(c.right);
        auto target = makePicture(c.targetWidth, c.targetHeight, kPaper);
        target->putStretched<CopySource>(c.dest, *sheet, c.frame, nullptr);

        const int t = c.bVert ? c.top : 0, b = c.bVert ? c.bottom : 0;
        const int l = c.bHorz ? c.left : 0, r = c.bHorz ? c.right : 0;
        const Point frameAt = sheet->getAnimationOffset(c.frame);
        const int cw = sheet->getAnimationWidth() - l - r, ch = sheet->getAnimationHeight() - t - b;
        for (int y = 0; y < c.targetHeight; ++y)
            for (int x = 0; x < c.targetWidth; ++x) {
                uint32_t expected = kPaper;
                if (c.dest.contains(Point(x, y)))
                    expected = sheet->getPixel(sourceOf(x, c.dest.left, c.dest.right, l, cw, r, frameAt.x),
                                               sourceOf(y, c.dest.top, c.dest.bottom, t, ch, b, frameAt.y));
                ASSERT_EQ(target->getPixel(x, y), expected) << x << ", " << y;
            }
    }
}

// A translucent resizable picture is composited exactly once per pixel, at its natural size as
// stretched; empty regions (masks) are skipped; the target's clip and origin are kept.
TEST(PictureNinePatch, TranslucentSheetIsCompositedOnceAndClipIsRestored)
{
    auto sheet = makePicture(4, 4, 0x80FF0000);
    sheet->setAlphaChannel(true);
    sheet->setVertResizable(true);
    sheet->setHorzResizable(true);
    sheet->setFixedTop(1);
    sheet->setFixedBottom(1);
    sheet->setFixedLeft(1);
    sheet->setFixedRight(1);
    sheet->initEmptyAreaFlags();

    for (const Rect& dest : {Rect(0, 0, 4, 4), Rect(0, 0, 7, 6)}) {
        SCOPED_TRACE(dest.width());
        auto target = makePicture(8, 8, 0xFFFFFFFF);
        target->putStretched<CopySource>(dest, *sheet, 0, nullptr);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(target->getPixel(x, y), dest.contains(Point(x, y)) ? 0xFFFF7F7Fu : 0xFFFFFFFFu)
                    << x << ", " << y;
    }

    // Clip given and the target's own clip: drawing stays within both; both come back.
    auto target = makePicture(8, 8, 0xFFFFFFFF);
    target->setOrigin(Point(1, 1));
    target->setClipRect(Rect(0, 0, 4, 10));
    const Rect clip(2, 2, 20, 20);
    target->putStretched<BlendUsingAlpha>(Rect(0, 0, 7, 7), *sheet, 0, &clip);
    EXPECT_EQ(target->getOrigin(), Point(1, 1));
    EXPECT_TRUE(target->isClipActive());
    EXPECT_EQ(target->getClipRect(), Rect(0, 0, 4, 7));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(target->getPixel(x, y), (x >= 3 && x < 5 && y >= 3 && y < 8) ? 0xFFFF7F7Fu : 0xFFFFFFFFu)
                << x << ", " << y;

    target->resetClipRect();
    target->putStretched<CopySource>(Rect(0, 0, 2, 2), *sheet, 0, nullptr);
    EXPECT_FALSE(target->isClipActive());
    EXPECT_EQ(target->getClipRect(), Rect(0, 0, 8, 8));
}

TEST(PictureNinePatch, SheetThatIsNotResizableIsDrawnOnceAtTheTopLeft)
{
    const auto picture = makeCoordinatePicture(3, 2);
    auto target = makePicture(8, 8, kPaper);
    target->putStretched<CopySource>(Rect(2, 3, 8, 8), *picture, 0, nullptr);
    std::vector<qvtest::tChanged> expected;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            expected.push_back({x + 2, y + 3, picture->getPixel(x, y)});
    EXPECT_EQ(changedPixels(*target, kPaper), expected);

    // With a clip it is limited to it.
    auto clipped = makePicture(8, 8, kPaper);
    const Rect clip(3, 0, 8, 4);
    clipped->putStretched<CopySource>(Rect(2, 3, 8, 8), *picture, 0, &clip);
    const std::vector<qvtest::tChanged> expectedClipped = {{3, 3, picture->getPixel(1, 0)},
                                                           {4, 3, picture->getPixel(2, 0)}};
    EXPECT_EQ(changedPixels(*clipped, kPaper), expectedClipped);
}

}  // namespace
