// The read-only side of a region: the containment test and the walks over its rectangles.
#include "GP/Region.h"

namespace QV::GP {

int Region::testRect(const Rect& r) const
{
    if (m_bounds.isEmpty() || r.isEmpty() || !r.overlaps(m_bounds))
        return eRectOutside;
    if (isRect())
        return m_bounds.contains(r) ? eRectInside : eRectPartial;

    // Walk the bands down through r's rows; y is the first row of r not known to be covered.
    bool partIn = false;
    bool partOut = false;
    int y = r.top;
    for (const Item* item = m_pFirst; item != nullptr; item = item->pNext) {
        const Rect& rect = item->value;
        if (rect.bottom <= y)
            continue;  // a band above the rows still open
        if (rect.top > y) {
            partOut = true;  // rows of r that no band covers
            if (partIn || rect.top >= r.bottom)
                break;
            y = rect.top;
        }
        if (rect.right <= r.left)
            continue;  // left of r
        if (rect.left > r.left) {
            partOut = true;  // columns of r left of this item
            if (partIn)
                break;
        }
        if (rect.left < r.right) {
            partIn = true;
            if (partOut)
                break;
        }
        if (rect.right < r.right)
            break;        // items of a band do not touch: the rest of this band's row in r is uncovered
        y = rect.bottom;  // r's columns are covered in this band
        if (y >= r.bottom)
            break;
    }
    if (!partIn)
        return eRectOutside;
    return y < r.bottom ? eRectPartial : eRectInside;
}

const Region::Item* Region::getNextIntersectingRect(const Item* after, const Rect& r) const
{
    for (const Item* item = after != nullptr ? after->pNext : m_pFirst; item != nullptr; item = item->pNext) {
        const Rect& rect = item->value;
        if (rect.bottom <= r.top)
            continue;
        if (rect.top >= r.bottom)
            return nullptr;
        if (rect.right > r.left) {
            if (rect.left < r.right)
                return item;
            if (rect.bottom >= r.bottom)
                return nullptr;  // past r's right edge in the last band that meets r
        }
    }
    return nullptr;
}

Region::const_intersector::const_intersector(const Region* region, const Rect& clip, const Point& origin)
    : m_pRegion(region), m_clip(clip), m_origin(origin)
{
    const Rect& bounds = region->m_bounds;
    if (clip.isEmpty() || bounds.isEmpty() || !clip.overlaps(bounds)) {
        m_iState = eFinished;
    } else if (region->isRect()) {
        m_bRegionIsRect = true;
        m_iState = eMeetClip;
    } else if (clip.contains(bounds)) {
        m_iState = eAllInside;
        m_pCurrent = region->m_pFirst;
    } else {
        m_pCurrent = region->getNextIntersectingRect(nullptr, clip);
        m_iState = m_pCurrent != nullptr ? eMeetClip : eFinished;
    }
}

bool Region::const_intersector::next(Rect& out)
{
    if (m_iState == eFinished)
        return false;
    out = m_clip.intersected(m_bRegionIsRect ? m_pRegion->m_bounds : m_pCurrent->value);
    out.moveBy(-m_origin.x, -m_origin.y);
    if (m_bRegionIsRect) {
        m_iState = eFinished;
    } else {
        m_pCurrent =
            m_iState == eAllInside ? m_pCurrent->pNext : m_pRegion->getNextIntersectingRect(m_pCurrent, m_clip);
        if (m_pCurrent == nullptr)
            m_iState = eFinished;
    }
    return true;
}

}  // namespace QV::GP
