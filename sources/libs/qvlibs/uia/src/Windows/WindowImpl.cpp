#include "UIA/WindowImpl.h"

#include "GP/Region.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/WindowHost.h"

namespace QV::UIA::DETAIL {

namespace {

// Asks the window for its ideal content size (not the application); false when it does not answer.
bool queryIdealSize(WindowImpl& impl, GP::Point& size)
{
    IdealSizeEventData query;
    if (!impl.sendEvent(eEventWindowQueryIdealSize, &query, false))
        return false;
    size = query.size;
    return true;
}

}  // namespace

void WindowImpl::idealSize()
{
    GP::Point size;
    if (isNormalSize() && queryIdealSize(*this, size))
        setSize(size, true);
}

bool WindowImpl::isIdealSize() const
{
    if (!isNormalSize())
        return false;
    GP::Point size;
    // The query is an event; sending it changes nothing of this implementation.
    if (!queryIdealSize(const_cast<WindowImpl&>(*this), size))
        return true;
    return getSize(true) == size;
}

void WindowImpl::invalidateRegion(const GP::Region& region)
{
    if (const GP::Region::Item* item = region.getFirstItem()) {
        for (; item; item = item->pNext)
            invalidateRect(item->value);
    } else if (!region.getBounds().isEmpty()) {
        invalidateRect(region.getBounds());
    }
}

GP::Point WindowImpl::getPosition(bool content) const
{
    GP::Rect rect;
    getRect(rect, content);
    return GP::Point(rect.left, rect.top);
}

void WindowImpl::setPosition(const GP::Point& point, bool content)
{
    GP::Rect rect;
    getRect(rect, content);
    rect.moveBy(point.x - rect.left, point.y - rect.top);
    setRect(rect, content);
}

GP::Point WindowImpl::getSize(bool content) const
{
    GP::Rect rect;
    getRect(rect, content);
    return GP::Point(rect.width(), rect.height());
}

void WindowImpl::setSize(const GP::Point& size, bool content)
{
    GP::Rect rect;
    getRect(rect, content);
    rect.right = rect.left + size.x;
    rect.bottom = rect.top + size.y;
    setRect(rect, content);
}

bool WindowImpl::sendEvent(unsigned code, EventData* data, bool toApplication)
{
    const bool handled = m_pOwner->sendEvent(code, data);
    if (!handled && toApplication)
        return WindowHost::get().sendApplicationEvent(code, data);
    return handled;
}

}  // namespace QV::UIA::DETAIL
