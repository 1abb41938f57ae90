// An axis-aligned rectangle in integer units. Right and bottom are exclusive: the rectangle covers
// the pixels left <= x < right, top <= y < bottom, and it is empty when left >= right or
// top >= bottom (a turned-around rectangle counts as empty).
#pragma once

#include "GP/Point.h"

#include <algorithm>
#include <cstdint>

namespace QV::GP {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return left >= right || top >= bottom; }

    constexpr bool contains(const Point& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    // Whether every pixel of other lies inside; an empty other lies inside any rectangle that is
    // not empty itself.
    constexpr bool contains(const Rect& other) const
    {
        return !isEmpty() && (other.isEmpty() || (other.left >= left && other.right <= right && other.top >= top &&
                                                  other.bottom <= bottom));
    }
    // Whether the two share at least one pixel (touching edges share none).
    constexpr bool overlaps(const Rect& other) const
    {
        return !isEmpty() && !other.isEmpty() && left < other.right && other.left < right && top < other.bottom &&
               other.top < bottom;
    }

    // The common part, (0, 0, 0, 0) when there is none.
    constexpr Rect intersected(const Rect& other) const
    {
        if (!overlaps(other))
            return Rect();
        return Rect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                    std::min(bottom, other.bottom));
    }
    // The smallest rectangle holding both; an empty side does not count.
    constexpr Rect united(const Rect& other) const
    {
        if (other.isEmpty())
            return *this;
        if (isEmpty())
            return other;
        return Rect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                    std::max(bottom, other.bottom));
    }

    constexpr void moveBy(int32_t dx, int32_t dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    constexpr bool operator==(const Rect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    constexpr bool operator!=(const Rect& other) const { return !(*this == other); }
};

}  // namespace QV::GP
