// Picture: Bresenham lines (the unclipped walk, and the clipped one against the walk's own pixels)
// and anti-aliased lines.
#include "PictureChecks.h"

#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using QV::GP::Point;
using QV::GP::Rect;
using QV::UIA::Picture;
using qvtest::changedPixels;
using qvtest::makePicture;

constexpr uint32_t kInk = 0xFF000000;
constexpr uint32_t kPaper = 0xFFFFFFFF;

std::vector<Point> drawnPoints(const Picture& picture)
{
    std::vector<Point> points;
    for (const auto& c : changedPixels(picture, kPaper))
        points.push_back(Point(c.x, c.y));
    return points;
}

// The Bresenham walk step by step, as written down for the picture: every pixel from the start
// point, without the end point.
std::set<std::pair<int, int>> referenceWalk(int x1, int y1, int x2, int y2)
{
    std::set<std::pair<int, int>> points;
    const int dx2 = 2 * std::abs(x2 - x1), dy2 = 2 * std::abs(y2 - y1);
    const int sx = x2 - x1 >= 0 ? 1 : -1, sy = y2 - y1 >= 0 ? 1 : -1;
    int x = x1, y = y1;
    if (dx2 > dy2) {
        points.insert({x, y});
        x += sx;
        if (x == x2)
            return points;
        int err = dy2 - dx2 / 2;
        do {
            if (err >= 0) {
                y += sy;
                err -= dx2;
            }
            err += dy2;
            points.insert({x, y});
            x += sx;
        } while (x != x2);
    } else if (dy2 != 0) {
        points.insert({x, y});
        y += sy;
        if (y == y2)
            return points;
        int err = dx2 - dy2 / 2;
        do {
            if (err >= 0) {
                x += sx;
                err -= dy2;
            }
            err += dx2;
            points.insert({x, y});
            y += sy;
        } while (y != y2);
    }
    return points;
}

TEST(PictureLine, UnclippedWalkLeavesOutTheEndPoint)
{
    struct Case {
        int x1, y1, x2, y2;
        std::vector<Point> expected;  // row by row
    } const cases[] = {
        {0, 0, 3, 0, {{0, 0}, {1, 0}, {2, 0}}}, {5, 5, 5, 5, {}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},  // 45 degrees: walked on y
        {3, 0, 0, 3, {{3, 0}, {2, 1}, {1, 2}}}, {0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {1, 4, 1, 1, {{1, 2}, {1, 3}, {1, 4}}},  // upwards
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << ", " << c.y1 << " -> " << c.x2 << ", " << c.y2);
        auto picture = makePicture(8, 8, kPaper);
        picture->drawLineUC(c.x1, c.y1, c.x2, c.y2, kInk);
        EXPECT_EQ(drawnPoints(*picture), c.expected);
    }
}

// The clipped line draws exactly the pixels of the walk that lie in the drawable area, wherever
// the ends are and whatever the clip and origin.
TEST(PictureLine, ClippedLineDrawsTheWalksPixelsInsideTheDrawableArea)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-40, 60);
    std::uniform_int_distribution<int> small(-6, 6);
    for (int i = 0; i < 3000; ++i) {
        const int x1 = coordinate(random), y1 = coordinate(random), x2 = coordinate(random), y2 = coordinate(random);
        const Point origin(small(random), small(random));
        const bool bClip = i % 2 == 0;
        const Rect clip(small(random) + 6, small(random) + 6, small(random) + 16, small(random) + 16);
        auto picture = makePicture(20, 20, kPaper);
        picture->setOrigin(origin);
        if (bClip)
            picture->setClipRect(clip);
        const Rect area = picture->getDrawableRect();
        picture->drawLine(x1, y1, x2, y2, kInk);

        std::vector<Point> expected;
        for (const auto& [x, y] : referenceWalk(x1, y1, x2, y2)) {
            const Point p(x + origin.x, y + origin.y);
            if (area.contains(p))
                expected.push_back(p);
        }
        std::sort(expected.begin(), expected.end(),
                  [](const Point& a, const Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
        ASSERT_EQ(drawnPoints(*picture), expected)
            << x1 << ", " << y1 << " -> " << x2 << ", " << y2 << " origin " << origin.x << ", " << origin.y;
    }
}

TEST(PictureLine, FarAwayEndsNeitherOverflowNorWalkTheWholeLine)
{
    auto picture = makePicture(10, 10, kPaper);
    picture->drawLine(-2000000000, 3, 2000000000, 5, kInk);  // crosses the picture on row 4
    std::vector<Point> expected;
    for (int x = 0; x < 10; ++x)
        expected.push_back(Point(x, 4));
    EXPECT_EQ(drawnPoints(*picture), expected);

    // From the leftmost to the rightmost int, one row down: the step falls at x = 0 (the walk's
    // error term turns non-negative after 2^31 - 1 steps).
    auto widest = makePicture(10, 10, kPaper);
    widest->drawLineUC(std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 1, kInk);
    expected.clear();
    for (int x = 0; x < 10; ++x)
        expected.push_back(Point(x, 1));
    EXPECT_EQ(drawnPoints(*widest), expected);

    auto nothing = makePicture(10, 10, kPaper);
    nothing->drawLine(std::numeric_limits<int>::max(), 0, std::numeric_limits<int>::max() - 5, 9, kInk);
    nothing->drawLine(0, 0, 9, 9, 0x00000000);  // alpha 0 draws nothing
    EXPECT_TRUE(drawnPoints(*nothing).empty());
}

// Black at full alpha from (0, 2) to (4, 2) on white: D = 4 * 255; the end pixels are half
// covered along the line (weight 510 of 1020), so they get alpha 127 and become grey 0x80; the
// interior pixels get the whole alpha; the row below gets alpha 0, which leaves opaque pixels.
TEST(PictureLineAA, HorizontalLineWeightsItsEnds)
{
    auto picture = makePicture(6, 5, kPaper);
    picture->drawLineAA(0.0f, 2.0f, 4.0f, 2.0f, 0xFF000000);
    const std::vector<qvtest::tChanged> expected = {
        {0, 2, 0xFF808080}, {1, 2, 0xFF000000}, {2, 2, 0xFF000000}, {3, 2, 0xFF000000}, {4, 2, 0xFF808080}};
    EXPECT_EQ(changedPixels(*picture, kPaper), expected);

    // The same line clipped to columns 2..3, and lines that cannot be drawn.
    auto clipped = makePicture(6, 5, kPaper);
    clipped->setClipRect(Rect(2, 0, 4, 5));
    clipped->drawLineAA(0.0f, 2.0f, 4.0f, 2.0f, 0xFF000000);
    clipped->drawLineAA(std::nanf(""), 0.0f, 4.0f, 4.0f, 0xFF000000);
    clipped->drawLineAA(-1e30f, 1.0f, 1e30f, 1.0f, 0xFF000000);
    clipped->drawLineAA(10.0f, 2.0f, 20.0f, 2.0f, 0xFF000000);  // box outside the clip
    const std::vector<qvtest::tChanged> expectedClipped = {{2, 2, 0xFF000000}, {3, 2, 0xFF000000}};
    EXPECT_EQ(changedPixels(*clipped, kPaper), expectedClipped);
}

TEST(PictureLineAA, SteepLineSplitsItsAlphaBetweenTwoColumns)
{
    // From (1.5, 0) to (1.5, 4): y-major, every interior row puts half of the alpha on column 1
    // and half on column 2 (cover D / 2).
    auto picture = makePicture(4, 6, 0x00000000);
    picture->drawLineAA(1.5f, 0.0f, 1.5f, 4.0f, 0xFFFF0000);
    for (int y = 1; y < 4; ++y) {
        EXPECT_EQ(picture->getPixel(1, y), 0x7FFF0000u) << y;
        EXPECT_EQ(picture->getPixel(2, y), 0x7FFF0000u) << y;
        EXPECT_EQ(picture->getPixel(0, y), 0u) << y;
        EXPECT_EQ(picture->getPixel(3, y), 0u) << y;
    }
}

}  // namespace
