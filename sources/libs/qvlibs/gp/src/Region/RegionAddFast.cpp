// Union with one rectangle, merged into the existing bands in place without a temporary region.
#include "GP/Region.h"

#include <algorithm>

namespace QV::GP {

namespace {

using Item = Region::Item;

// Whether two bands have the same number of items with the same left and right edges.
bool sameSpans(const Item* a, const Item* aEnd, const Item* b, const Item* bEnd)
{
    while (a != aEnd && b != bEnd) {
        if (a->value.left != b->value.left || a->value.right != b->value.right)
            return false;
        a = a->pNext;
        b = b->pNext;
    }
    return a == aEnd && b == bEnd;
}

}  // namespace

void Region::addFast(const Rect& r)
{
    if (checkTrivials(r))
        return;
    if (m_pFirst == nullptr)
        appendItem(newItem(m_bounds));
    m_bounds = m_bounds.united(r);
    mergeInBands(r);
}

bool Region::checkTrivials(const Rect& r)
{
    if (r.isEmpty())
        return true;
    if (isEmpty()) {
        clear();
        m_bounds = r;
        return true;
    }
    if (isRect()) {
        if (m_bounds.contains(r))
            return true;
        if (r.contains(m_bounds)) {
            deleteAllItems();
            m_bounds = r;
            return true;
        }
    }
    return false;
}

void Region::mergeInBands(const Rect& r)
{
    int y = r.top;  // the top of the part of r not merged yet
    Item* previousBand = nullptr;
    Item* band = m_pFirst;
    while (band != nullptr) {
        Item* end = bandEnd(band);
        if (band->value.bottom <= y) {
            previousBand = band;
            band = end;
            continue;
        }

        // The rows of r above this band become a band of their own.
        const int bandTop = band->value.top;
        if (y < bandTop) {
            previousBand = insertRectBeforeCurrentBand(band, end, previousBand,
                                                       Rect(r.left, y, r.right, std::min(bandTop, r.bottom)));
            y = bandTop;
            if (y >= r.bottom)
                return;
        }

        bool coveredHorizontally = false;
        for (const Item* item = band; item != end; item = item->pNext) {
            if (item->value.left <= r.left && item->value.right >= r.right) {
                coveredHorizontally = true;
                break;
            }
        }
        if (!coveredHorizontally) {
            if (y > band->value.top) {
                splitBandAt(band, end, y);
                previousBand = nullptr;
            }
            Item* mergeStart = band;
            Item* mergeEnd = end;
            if (r.bottom < band->value.bottom) {
                // The upper copies, which end at r.bottom, take the merge.
                mergeStart = splitBandAt(band, end, r.bottom);
                mergeEnd = band;
            }
            mergeRectInBand(mergeStart, mergeEnd, r);
            if (previousBand != nullptr && previousBand->value.bottom == mergeStart->value.top &&
                sameSpans(previousBand, bandEnd(previousBand), mergeStart, mergeEnd)) {
                const int top = previousBand->value.top;
                for (Item* item = mergeStart; item != mergeEnd; item = item->pNext)
                    item->value.top = top;
                while (previousBand != mergeStart) {
                    Item* next = previousBand->pNext;
                    deleteItem(previousBand);
                    previousBand = next;
                }
            }
            band = mergeStart;
            end = mergeEnd;
        }

        y = band->value.bottom;
        if (y >= r.bottom)
            return;
        previousBand = band;
        band = end;
    }
    appendItem(newItem(Rect(r.left, y, r.right, r.bottom)));
}

Item* Region::splitBandAt(Item* bandStart, Item* bandEnd, int y)
{
    // Copies of the band's items above y go in before the band, in the same order; the band
    // itself keeps the rows from y down.
    Item* firstCopy = nullptr;
    for (Item* item = bandStart; item != bandEnd; item = item->pNext) {
        Item* copy = newItem(Rect(item->value.left, item->value.top, item->value.right, y));
        insertItemBefore(bandStart, copy);
        if (firstCopy == nullptr)
            firstCopy = copy;
        item->value.top = y;
    }
    return firstCopy;
}

Item* Region::insertRectBeforeCurrentBand(Item*& bandStart, Item* bandEnd, Item* previousBandStart, const Rect& part)
{
    Item* item = bandStart;
    const bool singleItem = item->pNext == bandEnd;
    if (singleItem && item->value.left == part.left && item->value.right == part.right &&
        item->value.top == part.bottom) {
        // The band is exactly r's span: it grows upward instead.
        item->value.top = part.top;
        Item* previous = item->pPrev;
        if (previous != nullptr && previous == previousBandStart && previous->value.left == part.left &&
            previous->value.right == part.right && previous->value.bottom >= part.top) {
            item->value.top = previous->value.top;
            deleteItem(previous);
            return nullptr;
        }
        return previousBandStart;
    }
    Item* inserted = newItem(part);
    insertItemBefore(bandStart, inserted);
    return inserted;
}

void Region::mergeRectInBand(Item*& bandStart, Item* bandEnd, const Rect& r)
{
    const int top = bandStart->value.top;
    const int bottom = bandStart->value.bottom;
    for (Item* item = bandStart; item != bandEnd; item = item->pNext) {
        if (r.right < item->value.left) {
            Item* inserted = newItem(Rect(r.left, top, r.right, bottom));
            insertItemBefore(item, inserted);
            if (item == bandStart)
                bandStart = inserted;
            return;
        }
        if (item->value.right < r.left)
            continue;
        // r meets or touches this item: widen it and swallow the items it now reaches.
        item->value.left = std::min(item->value.left, r.left);
        item->value.right = std::max(item->value.right, r.right);
        Item* next = item->pNext;
        while (next != bandEnd && next->value.left <= item->value.right) {
            item->value.right = std::max(item->value.right, next->value.right);
            Item* swallowed = next;
            next = next->pNext;
            deleteItem(swallowed);
        }
        return;
    }
    insertItemBefore(bandEnd, newItem(Rect(r.left, top, r.right, bottom)));
}

}  // namespace QV::GP
