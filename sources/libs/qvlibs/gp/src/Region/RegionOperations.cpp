// Union, intersection and subtraction: trivial cases first, everything else by one banded sweep
// over both operands with an overlap step per operation.
#include "GP/Region.h"

#include <algorithm>

namespace QV::GP {

void Region::add(Region& result, const Region& a, const Region& b)
{
    if (&a == &b)
        return a.copyTo(result);
    if (a.isEmpty())
        return b.copyTo(result);
    if (b.isEmpty())
        return a.copyTo(result);
    if (a.isRect() && a.m_bounds.contains(b.m_bounds))
        return a.copyTo(result);
    if (b.isRect() && b.m_bounds.contains(a.m_bounds))
        return b.copyTo(result);
    sweep(result, a, b, &Region::unionOverlapped, true, true);
}

void Region::intersect(Region& result, const Region& a, const Region& b)
{
    if (a.isEmpty() || b.isEmpty() || !a.m_bounds.overlaps(b.m_bounds))
        return result.clear();
    if (&a == &b)
        return a.copyTo(result);
    if (a.isRect() && b.isRect()) {
        const Rect common = a.m_bounds.intersected(b.m_bounds);
        result.clear();
        result.m_bounds = common;
        return;
    }
    if (a.isRect() && a.m_bounds.contains(b.m_bounds))
        return b.copyTo(result);
    if (b.isRect() && b.m_bounds.contains(a.m_bounds))
        return a.copyTo(result);
    sweep(result, a, b, &Region::intersectOverlapped, false, false);
}

void Region::subtract(Region& result, const Region& a, const Region& b)
{
    if (&a == &b || a.isEmpty())
        return result.clear();
    if (b.isEmpty() || !a.m_bounds.overlaps(b.m_bounds))
        return a.copyTo(result);
    if (b.isRect() && b.m_bounds.contains(a.m_bounds))
        return result.clear();
    sweep(result, a, b, &Region::subtractOverlapped, true, false);
}

void Region::sweep(Region& result, const Region& a, const Region& b, OverlapFunction overlap, bool appendNonA,
                   bool appendNonB)
{
    if (&result == &a || &result == &b) {
        // The operands must stay intact during the sweep; a failure leaves result as it was.
        Region temporary;
        temporary.operation(a, b, overlap, appendNonA, appendNonB);
        temporary.recomputeBounds();
        result.expropriate(temporary);
        return;
    }
    result.clear();
    try {
        result.operation(a, b, overlap, appendNonA, appendNonB);
    } catch (...) {
        result.recomputeBounds();
        throw;
    }
    result.recomputeBounds();
}

void Region::operation(const Region& a, const Region& b, OverlapFunction overlap, bool appendNonA, bool appendNonB)
{
    // An operand without items is its bounds: it takes part as a one-item list on the stack.
    Item aBounds{nullptr, nullptr, a.m_bounds};
    Item bBounds{nullptr, nullptr, b.m_bounds};
    const Item* aBand = a.m_pFirst != nullptr ? a.m_pFirst : &aBounds;
    const Item* bBand = b.m_pFirst != nullptr ? b.m_pFirst : &bBounds;

    int ybot = std::min(aBand->value.top, bBand->value.top);  // the lowest row handled so far
    while (aBand != nullptr && bBand != nullptr) {
        const Item* aBandEnd = bandEnd(aBand);
        const Item* bBandEnd = bandEnd(bBand);
        const Rect& aRect = aBand->value;
        const Rect& bRect = bBand->value;

        // The part of the band that starts higher, down to where the other band starts.
        int ytop;
        if (aRect.top < bRect.top) {
            if (appendNonA) {
                const int top = std::max(aRect.top, ybot);
                const int bottom = std::min(aRect.bottom, bRect.top);
                if (top != bottom) {
                    Item* tail = m_pLast;
                    appendBand(aBand, aBandEnd, top, bottom);
                    coalesce(tail);
                }
            }
            ytop = bRect.top;
        } else if (bRect.top < aRect.top) {
            if (appendNonB) {
                const int top = std::max(bRect.top, ybot);
                const int bottom = std::min(bRect.bottom, aRect.top);
                if (top != bottom) {
                    Item* tail = m_pLast;
                    appendBand(bBand, bBandEnd, top, bottom);
                    coalesce(tail);
                }
            }
            ytop = aRect.top;
        } else {
            ytop = aRect.top;
        }

        // The rows that both bands cover.
        ybot = std::min(aRect.bottom, bRect.bottom);
        if (ytop < ybot) {
            Item* tail = m_pLast;
            (this->*overlap)(aBand, aBandEnd, bBand, bBandEnd, ytop, ybot);
            coalesce(tail);
        }

        const bool aDone = aRect.bottom == ybot;
        const bool bDone = bRect.bottom == ybot;
        if (aDone)
            aBand = aBandEnd;
        if (bDone)
            bBand = bBandEnd;
    }

    // The rest of the operand that is left: its current band from the rows not yet handled, then
    // every later item as it is.
    const Item* rest = nullptr;
    if (aBand != nullptr && appendNonA)
        rest = aBand;
    else if (bBand != nullptr && appendNonB)
        rest = bBand;
    if (rest != nullptr) {
        const Item* restEnd = bandEnd(rest);
        Item* tail = m_pLast;
        appendBand(rest, restEnd, std::max(rest->value.top, ybot), rest->value.bottom);
        coalesce(tail);
        for (const Item* item = restEnd; item != nullptr; item = item->pNext)
            appendItem(newItem(item->value));
    }
}

void Region::appendRect(int left, int top, int right, int bottom)
{
    appendItem(newItem(Rect(left, top, right, bottom)));
}

void Region::appendBand(const Item* band, const Item* bandEnd, int top, int bottom)
{
    for (const Item* item = band; item != bandEnd; item = item->pNext)
        appendRect(item->value.left, top, item->value.right, bottom);
}

void Region::coalesce(Item* tailBefore)
{
    Item* newBand = tailBefore != nullptr ? tailBefore->pNext : m_pFirst;
    if (newBand == nullptr || tailBefore == nullptr)
        return;
    if (tailBefore->value.bottom != newBand->value.top)
        return;
    Item* previousBand = tailBefore;
    while (previousBand->pPrev != nullptr && previousBand->pPrev->value.top == tailBefore->value.top)
        previousBand = previousBand->pPrev;

    // Same number of items with the same spans?
    const Item* upper = previousBand;
    const Item* lower = newBand;
    while (upper != newBand && lower != nullptr) {
        if (upper->value.left != lower->value.left || upper->value.right != lower->value.right)
            return;
        upper = upper->pNext;
        lower = lower->pNext;
    }
    if (upper != newBand || lower != nullptr)
        return;

    const int bottom = newBand->value.bottom;
    for (Item* item = previousBand; item != newBand; item = item->pNext)
        item->value.bottom = bottom;
    while (newBand != nullptr) {
        Item* next = newBand->pNext;
        deleteItem(newBand);
        newBand = next;
    }
}

void Region::unionOverlapped(const Item* aBand, const Item* aBandEnd, const Item* bBand, const Item* bBandEnd, int top,
                             int bottom)
{
    // Walk both bands by left edge, keeping one running span; touching spans merge.
    bool haveSpan = false;
    int x1 = 0;
    int x2 = 0;
    auto take = [&](const Rect& rect) {
        if (!haveSpan) {
            x1 = rect.left;
            x2 = rect.right;
            haveSpan = true;
        } else if (rect.left <= x2) {
            x2 = std::max(x2, rect.right);
        } else {
            appendRect(x1, top, x2, bottom);
            x1 = rect.left;
            x2 = rect.right;
        }
    };
    while (aBand != aBandEnd && bBand != bBandEnd) {
        if (aBand->value.left < bBand->value.left) {
            take(aBand->value);
            aBand = aBand->pNext;
        } else {
            take(bBand->value);
            bBand = bBand->pNext;
        }
    }
    for (; aBand != aBandEnd; aBand = aBand->pNext)
        take(aBand->value);
    for (; bBand != bBandEnd; bBand = bBand->pNext)
        take(bBand->value);
    if (haveSpan)
        appendRect(x1, top, x2, bottom);
}

void Region::intersectOverlapped(const Item* aBand, const Item* aBandEnd, const Item* bBand, const Item* bBandEnd,
                                 int top, int bottom)
{
    while (aBand != aBandEnd && bBand != bBandEnd) {
        const int x1 = std::max(aBand->value.left, bBand->value.left);
        const int x2 = std::min(aBand->value.right, bBand->value.right);
        if (x1 < x2)
            appendRect(x1, top, x2, bottom);
        const bool aDone = aBand->value.right == x2;
        const bool bDone = bBand->value.right == x2;
        if (aDone)
            aBand = aBand->pNext;
        if (bDone)
            bBand = bBand->pNext;
    }
}

void Region::subtractOverlapped(const Item* aBand, const Item* aBandEnd, const Item* bBand, const Item* bBandEnd,
                                int top, int bottom)
{
    // x1 is where the part of a's current item that b has not cut away yet starts.
    int x1 = aBand->value.left;
    auto nextA = [&] {
        aBand = aBand->pNext;
        if (aBand != aBandEnd)
            x1 = aBand->value.left;
    };
    while (aBand != aBandEnd && bBand != bBandEnd) {
        const Rect& aRect = aBand->value;
        const Rect& bRect = bBand->value;
        if (bRect.right <= x1) {
            bBand = bBand->pNext;  // b lies left of what is left of a
        } else if (bRect.left <= x1) {
            x1 = bRect.right;  // b covers the start of what is left
            if (x1 >= aRect.right)
                nextA();
            else
                bBand = bBand->pNext;
        } else if (bRect.left < aRect.right) {
            appendRect(x1, top, bRect.left, bottom);  // the piece before b
            x1 = bRect.right;
            if (x1 >= aRect.right)
                nextA();
            else
                bBand = bBand->pNext;
        } else {
            if (aRect.right > x1)
                appendRect(x1, top, aRect.right, bottom);  // b lies right of a
            nextA();
        }
    }
    while (aBand != aBandEnd) {
        appendRect(x1, top, aBand->value.right, bottom);
        nextA();
    }
}

}  // namespace QV::GP
