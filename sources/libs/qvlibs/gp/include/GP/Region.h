// A set of pixels as non-overlapping rectangles in y-x banded form, plus its bounding rectangle:
// the dirty and clip areas of the toolkit.
//
// Shapes:
// - empty: no rectangle, bounds all 0;
// - simple: at most one rectangle item and non-empty bounds; the region is exactly its bounds
//   (a one-rectangle region usually keeps no item at all);
// - complex: two or more items, the bounds their bounding box.
// Bands: a band is a run of items with the same top (and so the same bottom); bands follow each
// other downwards without overlapping; inside a band the items are sorted by left and neither
// overlap nor touch. The operations keep these rules but do not promise the fewest bands.
//
// Every item comes from the pool s_heap, which Region::init sets up and the last Region::deInit
// releases: no region may hold items across that last deInit. A region belongs to one thread at
// a time; the pool may be used from any thread.
#pragma once

#include "GP/ListItem.h"
#include "GP/Point.h"
#include "GP/Rect.h"
#include "GP/RegularAllocator.h"

namespace QV::GP {

class Region {
public:
    using Item = DETAIL::ListItem<Rect>;

    // Results of testRect.
    enum eRectTest {
        eRectInside = 0,
        eRectOutside = 1,
        eRectPartial = 2
    };

    Region() = default;
    ~Region();
    // Copies allocate: they are spelled copyTo; expropriate moves.
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    // dst becomes equal to this region, reusing dst's items.
    void copyTo(Region& dst) const;
    // Takes over other's content; other becomes empty.
    void expropriate(Region& other);

    // result = a ∪ b, a ∩ b, a \ b. result may be a or b; it then keeps its old content when the
    // pool runs out (std::bad_alloc).
    static void add(Region& result, const Region& a, const Region& b);
    static void intersect(Region& result, const Region& a, const Region& b);
    static void subtract(Region& result, const Region& a, const Region& b);

    // this = this ∪ r, merged into the bands in place.
    void addFast(const Rect& r);
    void moveBy(int dx, int dy);

    // eRectInside when r lies wholly inside, eRectOutside when it lies wholly outside (or r or the
    // region is empty), else eRectPartial.
    int testRect(const Rect& r) const;
    // The first item after the given one (from the first when null) that overlaps r; null when
    // there is none. Stops as soon as the bands lie below r.
    const Item* getNextIntersectingRect(const Item* after, const Rect& r) const;

    bool isEmpty() const { return m_pFirst == nullptr && m_bounds.isEmpty(); }
    // Whether the region is exactly its bounds.
    bool isRect() const { return m_pFirst == m_pLast && !m_bounds.isEmpty(); }
    void clear();
    const Rect& getBounds() const { return m_bounds; }
    // The item list, for walks over the rectangles: null for an empty and usually for a simple
    // region, whose one rectangle is its bounds.
    const Item* getFirstItem() const { return m_pFirst; }
    int getCount() const { return m_nCount; }

    // Reference-counted set-up of the item pool. The first call creates the pool's lock and sets
    // the pool up; false (and nothing counted) when the lock cannot be made. std::bad_alloc when
    // the first packet cannot be made.
    static bool init();
    // Does nothing without a matching init; the last one releases the pool.
    static void deInit();

    // A read-only walk over the parts of the region inside a clip rectangle, each moved by minus
    // the origin. The region must not change during the walk.
    class const_intersector {
    public:
        const_intersector(const Region* region, const Rect& clip, const Point& origin);
        // The next part; false once the walk is finished.
        bool next(Rect& out);

    private:
        enum eState {
            eAllInside = 0,
            eMeetClip = 1,
            eFinished = 2
        };

        const Region* m_pRegion;
        bool m_bRegionIsRect = false;
        const Item* m_pCurrent = nullptr;
        int m_iState = eFinished;
        Rect m_clip;
        Point m_origin;
    };

    // 32-byte items, a first packet of 8192, growing up to 6,710,886 items per packet.
    static DA::RegularAllocator s_heap;

private:
    using OverlapFunction = void (Region::*)(const Item* aBand, const Item* aBandEnd, const Item* bBand,
                                             const Item* bBandEnd, int top, int bottom);

    // The item list.
    Item* newItem(const Rect& rect);
    void implDeleteItem(Item* item);
    void appendItem(Item* item);
    void insertItemBefore(Item* before, Item* item);  // before null: at the end
    void deleteItem(Item* item);                      // unlinks and frees
    void deleteAllItems();
    static Item* bandEnd(Item* bandStart);
    static const Item* bandEnd(const Item* bandStart);
    void recomputeBounds();

    // The banded sweep of add, intersect and subtract, appending to this (empty) region.
    static void sweep(Region& result, const Region& a, const Region& b, OverlapFunction overlap, bool appendNonA,
                      bool appendNonB);
    void operation(const Region& a, const Region& b, OverlapFunction overlap, bool appendNonA, bool appendNonB);
    void appendBand(const Item* band, const Item* bandEnd, int top, int bottom);
    void coalesce(Item* tailBefore);
    void appendRect(int left, int top, int right, int bottom);
    void unionOverlapped(const Item* aBand, const Item* aBandEnd, const Item* bBand, const Item* bBandEnd, int top,
                         int bottom);
    void intersectOverlapped(const Item* aBand, const Item* aBandEnd, const Item* bBand, const Item* bBandEnd, int top,
                             int bottom);
    void subtractOverlapped(const Item* aBand, const Item* aBandEnd, const Item* bBand, const Item* bBandEnd, int top,
                            int bottom);

    // The steps of addFast.
    bool checkTrivials(const Rect& r);
    void mergeInBands(const Rect& r);
    Item* insertRectBeforeCurrentBand(Item*& bandStart, Item* bandEnd, Item* previousBandStart, const Rect& part);
    void mergeRectInBand(Item*& bandStart, Item* bandEnd, const Rect& r);
    Item* splitBandAt(Item* bandStart, Item* bandEnd, int y);  // returns the first upper copy

    Item* m_pFirst = nullptr;
    Item* m_pLast = nullptr;
    int m_nCount = 0;
    Rect m_bounds;

    static int s_iInitCnt;
};

}  // namespace QV::GP
