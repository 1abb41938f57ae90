// Test helpers for regions: a bitmap of pixels as the oracle, and the check of the band rules.
#pragma once

#include "GP/Region.h"

#include <gtest/gtest.h>

#include <bitset>
#include <ostream>
#include <sstream>
#include <vector>

namespace QV::GP {

// Rectangles in failure messages.
inline void PrintTo(const Rect& r, std::ostream* out)
{
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

}  // namespace QV::GP

namespace qvtest {

using QV::GP::Rect;
using QV::GP::Region;

// The pixels of the square [-64, 64) x [-64, 64), the playground of the randomised tests.
class Bitmap {
public:
    static constexpr int kMin = -64;
    static constexpr int kMax = 64;
    static constexpr int kSide = kMax - kMin;

    void fill(const Rect& r, bool value = true)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                m_bits.set(index(x, y), value);
    }
    bool get(int x, int y) const { return m_bits.test(index(x, y)); }
    bool any() const { return m_bits.any(); }
    size_t count() const { return m_bits.count(); }

    Bitmap operator|(const Bitmap& other) const { return Bitmap(m_bits | other.m_bits); }
    Bitmap operator&(const Bitmap& other) const { return Bitmap(m_bits & other.m_bits); }
    Bitmap minus(const Bitmap& other) const { return Bitmap(m_bits & ~other.m_bits); }
    Bitmap moved(int dx, int dy) const
    {
        Bitmap result;
        for (int y = kMin; y < kMax; ++y)
            for (int x = kMin; x < kMax; ++x)
                if (get(x, y))
                    result.m_bits.set(index(x + dx, y + dy));
        return result;
    }
    bool operator==(const Bitmap& other) const { return m_bits == other.m_bits; }

    // The pixels of r that are set, as a count.
    size_t countIn(const Rect& r) const
    {
        size_t n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += get(x, y) ? 1 : 0;
        return n;
    }

    Bitmap() = default;

private:
    explicit Bitmap(const std::bitset<kSide * kSide>& bits) : m_bits(bits) {}
    static size_t index(int x, int y)
    {
        EXPECT_TRUE(x >= kMin && x < kMax && y >= kMin && y < kMax) << "pixel (" << x << ", " << y << ") off the map";
        return size_t(y - kMin) * kSide + size_t(x - kMin);
    }

    std::bitset<kSide * kSide> m_bits;
};

inline std::string describe(const Region& region)
{
    std::ostringstream out;
    const Rect& b = region.getBounds();
    out << "bounds (" << b.left << "," << b.top << "," << b.right << "," << b.bottom << "), " << region.getCount()
        << " items:";
    for (const Region::Item* item = region.getFirstItem(); item != nullptr; item = item->pNext)
        out << " (" << item->value.left << "," << item->value.top << "," << item->value.right << ","
            << item->value.bottom << ")";
    return out.str();
}

// The region's rectangles: its bounds when it is one rectangle, else its items.
inline std::vector<Rect> rectsOf(const Region& region)
{
    std::vector<Rect> rects;
    if (region.getFirstItem() == nullptr) {
        if (!region.getBounds().isEmpty())
            rects.push_back(region.getBounds());
        return rects;
    }
    for (const Region::Item* item = region.getFirstItem(); item != nullptr; item = item->pNext)
        rects.push_back(item->value);
    return rects;
}

inline Bitmap pixelsOf(const Region& region)
{
    Bitmap bitmap;
    for (const Rect& r : rectsOf(region))
        bitmap.fill(r);
    return bitmap;
}

// The shape and band rules of the region's header comment.
inline ::testing::AssertionResult isWellFormed(const Region& region)
{
    auto fail = [&region](const char* why) { return ::testing::AssertionFailure() << why << ": " << describe(region); };
    int count = 0;
    Rect box;
    const Region::Item* previous = nullptr;
    for (const Region::Item* item = region.getFirstItem(); item != nullptr; item = item->pNext, ++count) {
        const Rect& r = item->value;
        if (item->pPrev != previous)
            return fail("broken back link");
        if (r.isEmpty())
            return fail("empty item");
        if (previous != nullptr) {
            const Rect& p = previous->value;
            if (p.top == r.top) {
                if (p.bottom != r.bottom)
                    return fail("a band with two bottoms");
                if (!(p.right < r.left))
                    return fail("items of a band overlap, touch or are out of order");
            } else if (!(p.bottom <= r.top)) {
                return fail("bands out of order or overlapping");
            }
        }
        box = box.united(r);
        previous = item;
    }
    if (count != region.getCount())
        return fail("wrong item count");
    const Rect& bounds = region.getBounds();
    if (count == 0) {
        if (bounds.isEmpty() && bounds != Rect())
            return fail("an empty region whose bounds are not all 0");
    } else if (count == 1) {
        if (region.getFirstItem()->value != bounds)
            return fail("a single item that is not the bounds");
    } else if (box != bounds) {
        return fail("bounds are not the items' bounding box");
    }
    if (region.isEmpty() != (count == 0 && bounds.isEmpty()))
        return fail("isEmpty disagrees");
    return ::testing::AssertionSuccess();
}

// A fixture that holds a use of the region pool.
class RegionPool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Region::init()); }
    void TearDown() override { Region::deInit(); }
};

}  // namespace qvtest
