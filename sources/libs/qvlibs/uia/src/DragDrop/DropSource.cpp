#include "UIA/DropSource.h"

#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <GP/Timer.h>

namespace QV::UIA {

namespace {

constexpr unsigned kFirstMouseCode = 1000;
constexpr unsigned kLastMouseCode = 1099;
// The pointer must move at least this far (squared) from the press before a drag starts.
constexpr int64_t kMinSquaredDistance = 8;

uint32_t nowMs()
{
    // The 32-bit millisecond clock wraps after 49 days; differences stay right across the wrap.
    return static_cast<uint32_t>(GP::Timer::convertTicksToMS(GP::Timer::getCurrentTicks()));
}

}  // namespace

DropSource::DropSource() = default;

DropSource::~DropSource() = default;

void DropSource::setDragStartTimeout(unsigned ms) { m_dragStartTimeout = ms; }

int DropSource::handleDropSourceMouseEvent(unsigned code, EventData* data)
{
    if (code < kFirstMouseCode || code > kLastMouseCode)
        return eMouseNotHandled;
    switch (code) {
    case eEventMouseButton: {
        const auto* button = static_cast<const MouseButtonEventData*>(data);
        if (m_bEnabled && button->button == eMouseButtonLeft && button->state != eMouseButtonUp &&
            button->state != eMouseButtonDoubleClick && canDragStart(button->pos)) {
            m_bArmed = true;
            m_pressTimeMs = nowMs();
            m_pressPos = button->pos;
            return eMouseConsumed;
        }
        m_bArmed = false;
        m_pressTimeMs = 0;
        return eMouseNotHandled;
    }
    case eEventMouseDrag:
    case eEventMouseMove: {
        if (!m_bArmed)
            return eMouseNotHandled;
        const GP::Point pos = static_cast<const MouseEventData*>(data)->pos;
        const int64_t dx = int64_t(pos.x) - m_pressPos.x;
        const int64_t dy = int64_t(pos.y) - m_pressPos.y;
        if (dx * dx + dy * dy < kMinSquaredDistance || nowMs() - m_pressTimeMs < m_dragStartTimeout)
            return eMouseConsumed;
        m_bArmed = false;
        m_pressTimeMs = 0;
        return eMouseStartDrag;
    }
    case eEventMouseLeave:
        m_bArmed = false;
        m_pressTimeMs = 0;
        return eMouseNotHandled;
    default: return eMouseNotHandled;
    }
}

}  // namespace QV::UIA
