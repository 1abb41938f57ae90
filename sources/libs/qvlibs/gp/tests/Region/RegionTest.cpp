#include "RegionChecks.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using QV::GP::Point;
using QV::GP::Rect;
using QV::GP::Region;
using qvtest::isWellFormed;
using qvtest::rectsOf;

using RegionOperations = qvtest::RegionPool;

// A region built by the sweep from the given rectangles.
void build(Region& region, std::initializer_list<Rect> rects)
{
    region.clear();
    for (const Rect& r : rects) {
        Region single;
        single.addFast(r);
        Region::add(region, region, single);
    }
}

std::vector<Rect> itemsOf(const Region& region)
{
    std::vector<Rect> items;
    for (const Region::Item* item = region.getFirstItem(); item != nullptr; item = item->pNext)
        items.push_back(item->value);
    return items;
}

TEST_F(RegionOperations, StartsEmpty)
{
    Region region;
    EXPECT_TRUE(region.isEmpty());
    EXPECT_EQ(region.getBounds(), Rect());
    EXPECT_EQ(region.getCount(), 0);
}

TEST_F(RegionOperations, UnionMergesTouchingSpansAndCoalescesStackedBands)
{
    struct Case {
        Rect a;
        Rect b;
        Rect expected;  // one rectangle
    } cases[] = {
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 20, 10}},  // side by side in the same rows
        {{0, 0, 10, 10}, {0, 10, 10, 20}, {0, 0, 10, 20}},  // stacked, equal width
        {{0, 0, 10, 10}, {2, 2, 5, 5}, {0, 0, 10, 10}},     // contained
    };
    for (const Case& c : cases) {
        Region a;
        Region b;
        Region result;
        a.addFast(c.a);
        b.addFast(c.b);
        Region::add(result, a, b);
        EXPECT_TRUE(isWellFormed(result));
        EXPECT_TRUE(result.isRect()) << qvtest::describe(result);
        EXPECT_EQ(result.getBounds(), c.expected);
        EXPECT_LE(result.getCount(), 1);
    }
}

TEST_F(RegionOperations, UnionOfOverlappingSquaresGivesThreeBands)
{
    Region a;
    Region b;
    a.addFast({0, 0, 10, 10});
    b.addFast({5, 5, 15, 15});
    Region::add(a, a, b);
    EXPECT_TRUE(isWellFormed(a));
    EXPECT_EQ(itemsOf(a), (std::vector<Rect>{{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}));
    EXPECT_EQ(a.getBounds(), Rect(0, 0, 15, 15));
}

TEST_F(RegionOperations, IntersectionTrivialCases)
{
    Region complex;
    build(complex, {{0, 0, 10, 10}, {20, 20, 30, 30}});
    ASSERT_FALSE(complex.isRect());

    Region self;
    Region::intersect(self, complex, complex);
    EXPECT_EQ(itemsOf(self), itemsOf(complex));
    EXPECT_EQ(self.getBounds(), complex.getBounds());

    Region left;
    Region right;
    Region result;
    left.addFast({0, 0, 10, 10});
    right.addFast({10, 0, 20, 10});  // bounds touch only
    Region::intersect(result, left, right);
    EXPECT_TRUE(result.isEmpty());
    EXPECT_EQ(result.getBounds(), Rect());

    right.clear();
    right.addFast({5, 5, 20, 20});
    Region::intersect(result, left, right);
    EXPECT_EQ(result.getBounds(), Rect(5, 5, 10, 10));
    EXPECT_EQ(result.getFirstItem(), nullptr) << "two rectangles intersect without items";
    EXPECT_EQ(result.getCount(), 0);
}

TEST_F(RegionOperations, SubtractionCutsHoles)
{
    Region frame;
    Region hole;
    frame.addFast({0, 0, 10, 10});
    hole.addFast({3, 3, 7, 7});
    Region::subtract(frame, frame, hole);
    EXPECT_TRUE(isWellFormed(frame));
    EXPECT_EQ(itemsOf(frame), (std::vector<Rect>{{0, 0, 10, 3}, {0, 3, 3, 7}, {7, 3, 10, 7}, {0, 7, 10, 10}}));

    Region result;
    Region::subtract(result, frame, frame);
    EXPECT_TRUE(result.isEmpty());
    Region::subtract(result, hole, frame);  // the hole lies in the frame's gap
    EXPECT_EQ(result.getBounds(), Rect(3, 3, 7, 7));
    Region cover;
    cover.addFast({-1, -1, 11, 11});
    Region::subtract(result, frame, cover);
    EXPECT_TRUE(result.isEmpty());
    EXPECT_EQ(result.getBounds(), Rect());
}

TEST_F(RegionOperations, TestRect)
{
    Region empty;
    Region simple;
    simple.addFast({0, 0, 10, 10});
    Region bands;  // two bands with a gap of rows between them
    build(bands, {{0, 0, 10, 10}, {0, 20, 10, 30}});
    Region columns;  // one band of two items with a gap of columns
    build(columns, {{0, 0, 10, 10}, {20, 0, 30, 10}});

    struct Case {
        const Region* region;
        Rect r;
        int expected;
    } cases[] = {
        {&empty, {0, 0, 5, 5}, Region::eRectOutside},
        {&simple, {3, 3, 3, 8}, Region::eRectOutside},  // empty rectangle
        {&simple, {10, 0, 20, 10}, Region::eRectOutside},
        {&simple, {0, 0, 10, 10}, Region::eRectInside},
        {&simple, {5, 5, 15, 8}, Region::eRectPartial},
        {&bands, {2, 5, 8, 25}, Region::eRectPartial},   // spans the gap between the bands
        {&bands, {2, 12, 8, 18}, Region::eRectOutside},  // inside the bounds, in the gap
        {&bands, {2, 22, 8, 28}, Region::eRectInside},
        {&bands, {0, 0, 10, 10}, Region::eRectInside},
        {&columns, {5, 2, 25, 8}, Region::eRectPartial},
        {&columns, {12, 2, 18, 8}, Region::eRectOutside},
        {&columns, {22, 2, 28, 8}, Region::eRectInside},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.region->testRect(c.r), c.expected) << qvtest::describe(*c.region) << " with (" << c.r.left << ","
                                                       << c.r.top << "," << c.r.right << "," << c.r.bottom << ")";
}

TEST_F(RegionOperations, AddFastTrivialCases)
{
    Region region;
    region.addFast({5, 5, 5, 10});
    EXPECT_TRUE(region.isEmpty()) << "an empty rectangle changes nothing";

    region.addFast({0, 0, 10, 10});
    EXPECT_EQ(region.getBounds(), Rect(0, 0, 10, 10));
    EXPECT_EQ(region.getFirstItem(), nullptr) << "an empty region becomes the rectangle without items";

    region.addFast({2, 2, 4, 4});
    EXPECT_EQ(region.getBounds(), Rect(0, 0, 10, 10));
    EXPECT_EQ(region.getFirstItem(), nullptr);

    region.addFast({-5, -5, 20, 20});
    EXPECT_EQ(region.getBounds(), Rect(-5, -5, 20, 20));
    EXPECT_EQ(region.getFirstItem(), nullptr);
}

TEST_F(RegionOperations, AddFastLeavesACoveringBandUntouched)
{
    Region region;
    build(region, {{0, 0, 10, 10}, {20, 0, 30, 10}, {0, 20, 30, 30}});
    const std::vector<Rect> before = itemsOf(region);
    std::vector<const Region::Item*> items;
    for (const Region::Item* item = region.getFirstItem(); item != nullptr; item = item->pNext)
        items.push_back(item);

    region.addFast({21, 2, 29, 8});
    EXPECT_EQ(itemsOf(region), before);
    std::vector<const Region::Item*> after;
    for (const Region::Item* item = region.getFirstItem(); item != nullptr; item = item->pNext)
        after.push_back(item);
    EXPECT_EQ(after, items);
}

TEST_F(RegionOperations, AddFastMergesIntoBands)
{
    Region region;
    build(region, {{0, 0, 10, 10}, {20, 0, 30, 10}});
    region.addFast({10, 0, 20, 10});  // fills the gap between the two items
    EXPECT_TRUE(isWellFormed(region));
    EXPECT_EQ(rectsOf(region), std::vector<Rect>{Rect(0, 0, 30, 10)});

    region.addFast({0, 10, 30, 20});  // below every band: appended as a band of its own
    EXPECT_TRUE(isWellFormed(region));
    EXPECT_EQ(rectsOf(region), (std::vector<Rect>{{0, 0, 30, 10}, {0, 10, 30, 20}}));

    region.addFast({0, 5, 30, 15});  // covered by both bands' items: nothing changes
    EXPECT_EQ(rectsOf(region), (std::vector<Rect>{{0, 0, 30, 10}, {0, 10, 30, 20}}));

    region.addFast({40, 5, 50, 25});  // splits the band and adds rows below
    EXPECT_TRUE(isWellFormed(region));
    EXPECT_EQ(region.getBounds(), Rect(0, 0, 50, 25));
    EXPECT_EQ(qvtest::pixelsOf(region).count(), size_t(30 * 20 + 10 * 20));
}

TEST_F(RegionOperations, MovesAndCopies)
{
    Region empty;
    empty.moveBy(5, 7);
    EXPECT_EQ(empty.getBounds(), Rect());

    Region region;
    build(region, {{0, 0, 10, 10}, {5, 5, 15, 15}});
    region.moveBy(-3, 4);
    EXPECT_EQ(region.getBounds(), Rect(-3, 4, 12, 19));
    EXPECT_EQ(itemsOf(region), (std::vector<Rect>{{-3, 4, 7, 9}, {-3, 9, 12, 14}, {2, 14, 12, 19}}));

    Region copy;
    build(copy, {{0, 0, 1, 1}, {3, 0, 4, 1}, {0, 3, 1, 4}, {3, 3, 4, 4}, {6, 6, 7, 7}});  // more items to reuse
    region.copyTo(copy);
    EXPECT_TRUE(isWellFormed(copy));
    EXPECT_EQ(itemsOf(copy), itemsOf(region));
    region.copyTo(region);
    EXPECT_EQ(itemsOf(copy), itemsOf(region));

    Region taker;
    taker.addFast({100, 100, 101, 101});
    taker.expropriate(copy);
    EXPECT_EQ(itemsOf(taker), itemsOf(region));
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_EQ(copy.getBounds(), Rect());
    EXPECT_EQ(copy.getCount(), 0);
}

TEST_F(RegionOperations, IntersectorWalks)
{
    Region simple;
    simple.addFast({10, 10, 20, 20});
    Region complex;
    build(complex, {{0, 0, 10, 10}, {5, 5, 15, 15}});

    struct Case {
        const Region* region;
        Rect clip;
        Point origin;
        std::vector<Rect> expected;
    } cases[] = {
        {&simple, {15, 0, 40, 40}, {5, 10}, {{10, 0, 15, 10}}},  // clipped and moved
        {&simple, {30, 30, 40, 40}, {0, 0}, {}},                 // clip outside the bounds
        {&complex, {-10, -10, 100, 100}, {1, 2}, {{-1, -2, 9, 3}, {-1, 3, 14, 8}, {4, 8, 14, 13}}},
        {&complex, {12, 0, 20, 20}, {0, 0}, {{12, 5, 15, 10}, {12, 10, 15, 15}}},
        {&complex, {0, 0, 0, 0}, {0, 0}, {}},
    };
    for (const Case& c : cases) {
        Region::const_intersector walk(c.region, c.clip, c.origin);
        std::vector<Rect> got;
        Rect r;
        while (walk.next(r))
            got.push_back(r);
        EXPECT_EQ(got, c.expected) << qvtest::describe(*c.region);
        EXPECT_FALSE(walk.next(r)) << "a finished walk stays finished";
    }
}

TEST(RegionPoolLifetime, IsCountedAndSurvivesUntilTheLastDeInit)
{
    Region::deInit();  // without a matching init: nothing
    EXPECT_FALSE(Region::s_heap.isSetUp());

    ASSERT_TRUE(Region::init());
    EXPECT_TRUE(Region::s_heap.isSetUp());
    EXPECT_EQ(Region::s_heap.getHeldBytes(), 56u + 8192u * 40u);
    ASSERT_TRUE(Region::init());
    {
        Region region;
        build(region, {{0, 0, 1, 1}, {2, 2, 3, 3}});
        Region::deInit();
        EXPECT_TRUE(Region::s_heap.isSetUp());
        region.addFast({5, 5, 6, 6});
        EXPECT_TRUE(isWellFormed(region));
    }
    Region::deInit();
    EXPECT_FALSE(Region::s_heap.isSetUp());
    Region::deInit();

    ASSERT_TRUE(Region::init());
    EXPECT_TRUE(Region::s_heap.isSetUp());
    Region::deInit();
}

}  // namespace
