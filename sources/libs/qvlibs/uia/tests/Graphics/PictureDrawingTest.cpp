// Picture: compositing rules, lines, rectangles, fills, inversion, area colour and copies,
// clipped at every edge and bounded by the picture when clipping is off.
#include "PictureChecks.h"

#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using QV::GP::Point;
using QV::GP::Rect;
using QV::UIA::Picture;
using qvtest::changedPixels;
using qvtest::makePicture;
using qvtest::tChanged;

TEST(PictureCompositing, PixelsFollowTheStandardAndLegacyRules)
{
    struct Case {
        uint32_t pixel;
        uint32_t colour;
        bool bLegacy;
        uint32_t expected;
    } const cases[] = {
        // standard "source over", rounded to nearest
        {0xFFFFFFFF, 0x80FF0000, false, 0xFFFF7F7F},  // half red over opaque white
        {0x00000000, 0x80FF0000, false, 0x80FF0000},  // over nothing: the colour itself
        {0x800000FF, 0x80FF0000, false, 0xC0AA0055},  // over translucent blue
        {0x00FF0000, 0x00000000, false, 0x00000000},  // alpha 0 onto alpha 0 clears
        {0x80123456, 0x00000000, false, 0x80123456},  // alpha 0 onto alpha: unchanged
        {0x80123456, 0xFF654321, false, 0xFF654321},  // opaque: stored
        // legacy: (s sA + d (256 - sA)) >> 8, alpha 0
        {0xFFFFFFFF, 0x80FF0000, true, 0x00FF7F7F},
        {0x80123456, 0x00000000, true, 0x80123456},  // alpha 0 skipped
        {0x80123456, 0xFF654321, true, 0xFF654321},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour << " onto " << c.pixel);
        auto picture = makePicture(1, 1, c.pixel);
        picture->setUseLegacyAlphaCompositing(c.bLegacy);
        picture->setPixelUC(0, 0, c.colour);
        EXPECT_EQ(picture->getPixel(0, 0), c.expected);
    }
}

TEST(PictureLines, HorizontalAndVerticalLinesAreClippedAtEveryEdge)
{
    struct Case {
        bool bVertical;
        int x, y, length;
        std::vector<tChanged> expected;
    } const cases[] = {
        {false, 2, 1, 3, {{2, 1, 1}, {3, 1, 1}, {4, 1, 1}}},
        {false, -2, 2, 5, {{2, 2, 1}}},             // cut by the clip's left edge (2)
        {false, 4, 3, 10, {{4, 3, 1}, {5, 3, 1}}},  // cut by the right edge (6)
        {false, 3, 0, 2, {}},                       // above the clip
        {false, 3, 6, 2, {}},                       // below it
        {false, 3, 2, 0, {}},                       // no length
        {true, 3, -5, 7, {{3, 1, 1}}},              // cut by the top edge (1)
        {true, 5, 4, 5, {{5, 4, 1}, {5, 5, 1}}},    // cut by the bottom edge (6)
        {true, 1, 2, 3, {}},                        // left of the clip
        {true, 6, 2, 3, {}},                        // right of it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.bVertical ? "V " : "H ") << c.x << ", " << c.y << ", " << c.length);
        auto picture = makePicture(8, 8, 0);
        picture->setClipRect(Rect(2, 1, 6, 6));
        if (c.bVertical)
            picture->drawLineV(c.x, c.y, c.length, 0xFF000001);
        else
            picture->drawLineH(c.x, c.y, c.length, 0xFF000001);
        std::vector<tChanged> expected = c.expected;
        for (tChanged& e : expected)
            e.pixel = 0xFF000001;
        EXPECT_EQ(changedPixels(*picture, 0), expected);
    }
}

TEST(PictureFill, FillIsClippedAtEveryEdgeAndBoundedByThePictureWithoutClip)
{
    struct Case {
        Rect clip;  // empty: clipping off
        Point origin;
        Rect area;      // x, y, right, bottom of the fill
        Rect expected;  // filled pixels, picture coordinates
    } const cases[] = {
        {Rect(2, 2, 8, 8), Point(), Rect(0, 3, 5, 5), Rect(2, 3, 5, 5)},      // left edge
        {Rect(2, 2, 8, 8), Point(), Rect(4, 0, 6, 4), Rect(4, 2, 6, 4)},      // top edge
        {Rect(2, 2, 8, 8), Point(), Rect(6, 3, 20, 4), Rect(6, 3, 8, 4)},     // right edge
        {Rect(2, 2, 8, 8), Point(), Rect(3, 7, 4, 30), Rect(3, 7, 4, 8)},     // bottom edge
        {Rect(2, 2, 8, 8), Point(), Rect(-5, -5, 50, 50), Rect(2, 2, 8, 8)},  // all edges
        {Rect(), Point(), Rect(-5, -5, 50, 50), Rect(0, 0, 10, 10)},          // no clip: the picture
        {Rect(), Point(3, 4), Rect(-50, -50, 2, 2), Rect(0, 0, 5, 6)},        // with an origin
        {Rect(), Point(-3, -4), Rect(2, 3, 50, 50), Rect(0, 0, 10, 10)},
        {Rect(), Point(), Rect(2147483000, 0, 2147483600, 5), Rect()},  // far away, no overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.area.left << ", " << c.area.top << ", " << c.area.right << ", "
                                        << c.area.bottom);
        auto picture = makePicture(10, 10, 0);
        picture->setOrigin(c.origin);
        if (!c.clip.isEmpty())
            picture->setClipRect(c.clip);
        picture->fillArea(c.area.left, c.area.top, c.area.width(), c.area.height(), 0xFF00FF00);
        picture->invertArea(c.area.left, c.area.top, c.area.width(), c.area.height());
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(picture->getPixel(x, y), c.expected.contains(Point(x, y)) ? 0xFFFF00FFu : 0u)
                    << x << ", " << y;
    }
}

TEST(PictureFill, TranslucentFillCompositesAndTransparentFillDoesNothing)
{
    auto picture = makePicture(5, 3, 0xFFFFFFFF);
    picture->fillArea(1, 1, 3, 5, 0x80FF0000);
    picture->fillArea(0, 0, 5, 3, 0x00000000);
    picture->fillArea(0, 0, 0, 3, 0xFF000000);
    picture->fillArea(0, 0, 5, -1, 0xFF000000);
    std::vector<tChanged> expected;
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 4; ++x)
            expected.push_back({x, y, 0xFFFF7F7F});
    EXPECT_EQ(changedPixels(*picture, 0xFFFFFFFF), expected);
}

TEST(PictureInvert, InvertingTwiceRestoresThePixelsAndKeepsAlpha)
{
    auto picture = qvtest::makeCoordinatePicture(6, 4);
    picture->getData()[5] = 0x12345678;
    const std::vector<uint32_t> before = qvtest::pixelsOf(*picture);
    picture->invertArea(0, 0, 6, 4);
    EXPECT_EQ(picture->getPixel(5, 0), 0x12CBA987u);
    EXPECT_EQ(picture->getPixel(1, 2), 0xFFFFFDFEu);
    picture->invertArea(0, 0, 6, 4);
    EXPECT_EQ(qvtest::pixelsOf(*picture), before);
}

TEST(PictureRectangle, OutlineIsClippedPerEdgeAndDrawsNoPixelTwice)
{
    struct Case {
        Rect clip;  // empty: clipping off
        int x, y, width, height;
        std::vector<Point> expected;
    } const cases[] = {
        {Rect(), 1, 1, 3, 3, {{1, 1}, {2, 1}, {3, 1}, {1, 3}, {2, 3}, {3, 3}, {1, 2}, {3, 2}}},
        {Rect(), 4, 4, -3, -3, {{1, 1}, {2, 1}, {3, 1}, {1, 3}, {2, 3}, {3, 3}, {1, 2}, {3, 2}}},  // turned around
        {Rect(), 2, 2, 1, 3, {{2, 2}, {2, 4}, {2, 3}}},                            // one column: drawn once
        {Rect(), 2, 2, 3, 1, {{2, 2}, {3, 2}, {4, 2}}},                            // one row: drawn once
        {Rect(2, 0, 8, 8), 1, 1, 3, 3, {{2, 1}, {3, 1}, {2, 3}, {3, 3}, {3, 2}}},  // left edge cut away
        {Rect(0, 2, 8, 8), 1, 1, 3, 3, {{1, 3}, {2, 3}, {3, 3}, {1, 2}, {3, 2}}},  // top edge cut away
        {Rect(0, 0, 3, 3), 1, 1, 3, 3, {{1, 1}, {2, 1}, {1, 2}}},                  // right and bottom cut away
        {Rect(), -1, -1, 4, 4, {{2, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}},          // picture edges
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.width << ", " << c.height);
        auto picture = makePicture(6, 6, 0xFFFFFFFF);
        if (!c.clip.isEmpty())
            picture->setClipRect(c.clip);
        picture->drawRectangle(c.x, c.y, c.width, c.height, 0x80FF0000);
        std::vector<tChanged> changed = changedPixels(*picture, 0xFFFFFFFF);
        std::vector<tChanged> expected;
        for (const Point& p : c.expected)
            expected.push_back({p.x, p.y, 0xFFFF7F7F});  // composited exactly once
        const auto order = [](const tChanged& a, const tChanged& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
        std::sort(expected.begin(), expected.end(), order);
        EXPECT_EQ(changed, expected);
    }
}

TEST(PictureSetAreaColor, StoresWithoutCompositingAndStaysInsideThePicture)
{
    auto picture = makePicture(4, 4, 0xFFFFFFFF);
    picture->setOrigin(Point(1, 1));
    picture->setClipRect(Rect(0, 0, 1, 1));  // not applied by setAreaColor
    picture->setAreaColor(Rect(-10, 1, 100, 2), 0x10203040);
    picture->setAreaColor(Rect(3, 3, 2, 2), 0);  // empty
    std::vector<tChanged> expected;
    for (int x = 0; x < 4; ++x)
        expected.push_back({x, 2, 0x10203040});
    EXPECT_EQ(changedPixels(*picture, 0xFFFFFFFF), expected);
}

TEST(PictureCopy, CopiesRowsOrCompositesByTheSourceAlphaChannel)
{
    auto source = makePicture(3, 2, 0x80FF0000);
    source->getData()[0] = 0x00123456;
    source->setOrigin(Point(1, 0));

    auto opaque = makePicture(4, 3, 0xFFFFFFFF);
    opaque->setOrigin(Point(1, 1));
    opaque->copyAreaUC(0, 0, 3, 2, *source, -1, 0);  // without alpha channel: copied as it is
    EXPECT_EQ(opaque->getPixel(1, 1), 0x00123456u);
    EXPECT_EQ(opaque->getPixel(3, 2), 0x80FF0000u);

    source->setAlphaChannel(true);
    auto composited = makePicture(4, 3, 0xFFFFFFFF);
    composited->copyAreaUC(0, 0, 3, 2, *source, -1, 0);
    EXPECT_EQ(composited->getPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(composited->getPixel(1, 0), 0xFFFF7F7Fu);
    EXPECT_EQ(composited->getPixel(2, 1), 0xFFFF7F7Fu);
    EXPECT_EQ(composited->getPixel(3, 0), 0xFFFFFFFFu);

    // Legacy copy: (d (255 - sA) + s sA) >> 8 with the source's alpha, when either picture asks.
    source->setUseLegacyAlphaCompositing(true);
    auto legacy = makePicture(1, 1, 0xFFFFFFFF);
    legacy->copyAreaUC(0, 0, 1, 1, *source, 0, 0);
    EXPECT_EQ(legacy->getPixel(0, 0), 0x80FE7E7Eu);
}

TEST(PictureCopy, OverlappingCopyInOnePictureReadsEveryPixelBeforeWritingIt)
{
    for (bool bAlpha : {false, true}) {
        SCOPED_TRACE(bAlpha);
        auto picture = qvtest::makeCoordinatePicture(6, 6);
        picture->setAlphaChannel(bAlpha);
        const auto before = qvtest::makeCoordinatePicture(6, 6);
        picture->copyAreaUC(1, 2, 4, 3, *picture, 0, 0);  // down and right by (1, 2)
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool bInside = x >= 1 && x < 5 && y >= 2 && y < 5;
                EXPECT_EQ(picture->getPixel(x, y), bInside ? before->getPixel(x - 1, y - 2) : before->getPixel(x, y))
                    << x << ", " << y;
            }
    }
}

}  // namespace
