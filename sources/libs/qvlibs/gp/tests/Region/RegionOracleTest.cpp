// Randomised sequences of region operations on a small grid, each result checked pixel by pixel
// against a bitmap and against the band rules.
#include "RegionChecks.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace {

using QV::GP::Point;
using QV::GP::Rect;
using QV::GP::Region;
using qvtest::Bitmap;
using qvtest::isWellFormed;
using qvtest::pixelsOf;

constexpr int kGrid = 24;  // rectangles are drawn from [-2, kGrid + 2)

class RegionOracle : public qvtest::RegionPool {
protected:
    static constexpr int kSlots = 4;

    // The regions give their items back before the pool goes.
    void TearDown() override
    {
        for (Region& region : m_regions)
            region.clear();
        RegionPool::TearDown();
    }

    Rect randomRect()
    {
        std::uniform_int_distribution<int> coordinate(-2, kGrid + 2);
        int left = coordinate(m_random);
        int top = coordinate(m_random);
        // Mostly small rectangles, now and then an empty or turned-around one.
        std::uniform_int_distribution<int> extent(-1, 10);
        return Rect(left, top, left + extent(m_random), top + extent(m_random));
    }
    int randomSlot() { return std::uniform_int_distribution<int>(0, kSlots - 1)(m_random); }

    // Compares one slot with its bitmap; false (and a failure) when they differ.
    bool check(int slot, const char* step)
    {
        EXPECT_TRUE(isWellFormed(m_regions[slot])) << "after " << step;
        const bool same = pixelsOf(m_regions[slot]) == m_bitmaps[slot];
        EXPECT_TRUE(same) << "pixels differ after " << step << ": " << qvtest::describe(m_regions[slot]);
        return same && !HasFailure();
    }

    // The region is moved back into the grid now and then so that it stays on the map.
    void keepOnMap(int slot)
    {
        const Rect& b = m_regions[slot].getBounds();
        if (b.isEmpty() || (b.left > -30 && b.top > -30 && b.right < 50 && b.bottom < 50))
            return;
        const int dx = -b.left;
        const int dy = -b.top;
        m_regions[slot].moveBy(dx, dy);
        m_bitmaps[slot] = m_bitmaps[slot].moved(dx, dy);
    }

    // One random step; returns false once a check failed.
    bool step()
    {
        const int target = randomSlot();
        const int a = randomSlot();
        const int b = randomSlot();
        switch (std::uniform_int_distribution<int>(0, 9)(m_random)) {
        case 0:
        case 1: {
            const Rect r = randomRect();
            m_regions[target].addFast(r);
            m_bitmaps[target].fill(r);
            return check(target, "addFast");
        }
        case 2:
        case 3:
            Region::add(m_regions[target], m_regions[a], m_regions[b]);
            m_bitmaps[target] = m_bitmaps[a] | m_bitmaps[b];
            return check(target, "add");
        case 4:
            Region::intersect(m_regions[target], m_regions[a], m_regions[b]);
            m_bitmaps[target] = m_bitmaps[a] & m_bitmaps[b];
            return check(target, "intersect");
        case 5:
            Region::subtract(m_regions[target], m_regions[a], m_regions[b]);
            m_bitmaps[target] = m_bitmaps[a].minus(m_bitmaps[b]);
            return check(target, "subtract");
        case 6: {
            std::uniform_int_distribution<int> delta(-4, 4);
            const int dx = delta(m_random);
            const int dy = delta(m_random);
            m_regions[target].moveBy(dx, dy);
            m_bitmaps[target] = m_bitmaps[target].moved(dx, dy);
            keepOnMap(target);
            return check(target, "moveBy");
        }
        case 7:
            m_regions[a].copyTo(m_regions[target]);
            m_bitmaps[target] = m_bitmaps[a];
            return check(target, "copyTo");
        case 8:
            if (a != target) {
                m_regions[target].expropriate(m_regions[a]);
                m_bitmaps[target] = m_bitmaps[a];
                m_bitmaps[a] = Bitmap();
                EXPECT_TRUE(m_regions[a].isEmpty());
                return check(target, "expropriate") && check(a, "expropriate (source)");
            }
            return true;
        default: {
            // A fresh simple region.
            const Rect r = randomRect();
            m_regions[target].clear();
            m_regions[target].addFast(r);
            m_bitmaps[target] = Bitmap();
            m_bitmaps[target].fill(r);
            return check(target, "reset");
        }
        }
    }

    // testRect and the intersector of every slot against the bitmaps, for a few random rectangles.
    bool probe()
    {
        for (int slot = 0; slot < kSlots; ++slot) {
            const Region& region = m_regions[slot];
            const Bitmap& bitmap = m_bitmaps[slot];
            for (int i = 0; i < 4; ++i) {
                const Rect r = randomRect();
                const size_t inside = r.isEmpty() ? 0 : bitmap.countIn(r);
                const size_t area = r.isEmpty() ? 0 : size_t(r.width()) * size_t(r.height());
                const int expected = inside == 0      ? Region::eRectOutside
                                     : inside == area ? Region::eRectInside
                                                      : Region::eRectPartial;
                EXPECT_EQ(region.testRect(r), expected) << qvtest::describe(region) << " with (" << r.left << ","
                                                        << r.top << "," << r.right << "," << r.bottom << ")";

                // The walk covers exactly region ∩ clip, moved by minus the origin, without overlaps.
                const Point origin(std::uniform_int_distribution<int>(-3, 3)(m_random),
                                   std::uniform_int_distribution<int>(-3, 3)(m_random));
                Region::const_intersector walk(&region, r, origin);
                Bitmap walked;
                size_t walkedPixels = 0;
                Rect part;
                while (walk.next(part)) {
                    EXPECT_FALSE(part.isEmpty());
                    part.moveBy(origin.x, origin.y);
                    EXPECT_TRUE(r.contains(part));
                    walked.fill(part);
                    walkedPixels += size_t(part.width()) * size_t(part.height());
                }
                Bitmap expectedWalk;
                if (!r.isEmpty())
                    expectedWalk.fill(r);
                expectedWalk = expectedWalk & bitmap;
                EXPECT_TRUE(walked == expectedWalk) << qvtest::describe(region);
                EXPECT_EQ(walkedPixels, walked.count()) << "the walk yields overlapping rectangles";
            }
        }
        return !HasFailure();
    }

    std::mt19937 m_random{20240611};
    std::array<Region, kSlots> m_regions;
    std::array<Bitmap, kSlots> m_bitmaps;
};

TEST_F(RegionOracle, RandomSequencesAgreeWithTheBitmap)
{
    constexpr int kSequences = 150;
    constexpr int kSteps = 40;
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        for (int slot = 0; slot < kSlots; ++slot) {
            m_regions[slot].clear();
            m_bitmaps[slot] = Bitmap();
        }
        for (int i = 0; i < kSteps; ++i) {
            ASSERT_TRUE(step()) << "sequence " << sequence << ", step " << i;
            if (i % 8 == 7) {
                ASSERT_TRUE(probe()) << "sequence " << sequence << ", step " << i;
            }
        }
    }
}

TEST_F(RegionOracle, AddFastBuildsTheSameAreaAsAdd)
{
    // Many rectangles poured into one region both ways: the pixels agree and both stay banded.
    for (int round = 0; round < 100; ++round) {
        Region fast;
        Region swept;
        Bitmap bitmap;
        for (int i = 0; i < 25; ++i) {
            const Rect r = randomRect();
            fast.addFast(r);
            Region single;
            single.addFast(r);
            Region::add(swept, swept, single);
            bitmap.fill(r);
            ASSERT_TRUE(isWellFormed(fast)) << "round " << round << ", rectangle " << i;
            ASSERT_TRUE(isWellFormed(swept));
            ASSERT_TRUE(pixelsOf(fast) == bitmap) << qvtest::describe(fast);
            ASSERT_TRUE(pixelsOf(swept) == bitmap) << qvtest::describe(swept);
        }
    }
}

}  // namespace
