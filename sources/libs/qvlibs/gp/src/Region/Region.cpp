#include "GP/Region.h"

#include <mutex>

namespace QV::GP {

namespace {

// The region item pool: the rectangles of every region of the process.
constexpr size_t kItemSize = 32;
constexpr size_t kFirstPacketItems = 8192;
constexpr size_t kPacketItemLimit = 6710886;

static_assert(sizeof(Region::Item) <= kItemSize, "a rectangle item must fit an item of the pool");

std::mutex& initMutex()
{
    static std::mutex s_mutex;
    return s_mutex;
}

}  // namespace

DA::RegularAllocator Region::s_heap;
int Region::s_iInitCnt = 0;

bool Region::init()
{
    std::lock_guard<std::mutex> lock(initMutex());
    if (s_iInitCnt == 0 && !s_heap.init(kItemSize, kFirstPacketItems, kPacketItemLimit, 0))
        return false;
    ++s_iInitCnt;
    return true;
}

void Region::deInit()
{
    std::lock_guard<std::mutex> lock(initMutex());
    if (s_iInitCnt < 1)
        return;
    if (--s_iInitCnt == 0)
        s_heap.deInit();
}

Region::~Region() { deleteAllItems(); }

Region::Item* Region::newItem(const Rect& rect)
{
    Item* item = static_cast<Item*>(s_heap.allocate(sizeof(Item)));
    item->pPrev = item->pNext = nullptr;
    item->value = rect;
    return item;
}

void Region::implDeleteItem(Item* item) { s_heap.deallocate(item); }

void Region::appendItem(Item* item) { insertItemBefore(nullptr, item); }

void Region::insertItemBefore(Item* before, Item* item)
{
    item->pNext = before;
    item->pPrev = before != nullptr ? before->pPrev : m_pLast;
    if (item->pPrev != nullptr)
        item->pPrev->pNext = item;
    else
        m_pFirst = item;
    if (before != nullptr)
        before->pPrev = item;
    else
        m_pLast = item;
    ++m_nCount;
}

void Region::deleteItem(Item* item)
{
    if (item->pPrev != nullptr)
        item->pPrev->pNext = item->pNext;
    else
        m_pFirst = item->pNext;
    if (item->pNext != nullptr)
        item->pNext->pPrev = item->pPrev;
    else
        m_pLast = item->pPrev;
    --m_nCount;
    implDeleteItem(item);
}

void Region::deleteAllItems()
{
    Item* item = m_pFirst;
    m_pFirst = m_pLast = nullptr;
    m_nCount = 0;
    while (item != nullptr) {
        Item* next = item->pNext;
        implDeleteItem(item);
        item = next;
    }
}

Region::Item* Region::bandEnd(Item* bandStart)
{
    Item* item = bandStart->pNext;
    while (item != nullptr && item->value.top == bandStart->value.top)
        item = item->pNext;
    return item;
}

const Region::Item* Region::bandEnd(const Item* bandStart) { return bandEnd(const_cast<Item*>(bandStart)); }

void Region::recomputeBounds()
{
    Rect bounds;
    for (const Item* item = m_pFirst; item != nullptr; item = item->pNext)
        bounds = bounds.united(item->value);
    m_bounds = bounds;
}

void Region::clear()
{
    m_bounds = Rect();
    deleteAllItems();
}

void Region::copyTo(Region& dst) const
{
    if (&dst == this)
        return;
    if (isRect()) {
        dst.deleteAllItems();
        dst.m_bounds = m_bounds;
        return;
    }
    try {
        Item* target = dst.m_pFirst;
        for (const Item* source = m_pFirst; source != nullptr; source = source->pNext) {
            if (target != nullptr) {
                target->value = source->value;
                target = target->pNext;
            } else {
                dst.appendItem(dst.newItem(source->value));
            }
        }
        while (target != nullptr) {
            Item* next = target->pNext;
            dst.deleteItem(target);
            target = next;
        }
    } catch (...) {
        dst.recomputeBounds();
        throw;
    }
    dst.m_bounds = m_bounds;
}

void Region::expropriate(Region& other)
{
    if (&other == this)
        return;
    deleteAllItems();
    m_bounds = other.m_bounds;
    if (other.isRect()) {
        other.clear();
        return;
    }
    m_pFirst = other.m_pFirst;
    m_pLast = other.m_pLast;
    m_nCount = other.m_nCount;
    other.m_pFirst = other.m_pLast = nullptr;
    other.m_nCount = 0;
    other.m_bounds = Rect();
}

void Region::moveBy(int dx, int dy)
{
    if (isEmpty())
        return;
    m_bounds.moveBy(dx, dy);
    for (Item* item = m_pFirst; item != nullptr; item = item->pNext)
        item->value.moveBy(dx, dy);
}

}  // namespace QV::GP
