#include "PXT/DragDropSource.h"

#include "PXT/Pane.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

namespace QV::PXT {

DragDropSource::~DragDropSource() = default;

bool DragDropSource::canDragStart(const GP::Point& pos) const { return m_canDragStart ? m_canDragStart(pos) : false; }

int DragDropSource::handleDragDropSourceMouse(unsigned code, UIA::MouseEventData* data, Pane* pane)
{
    switch (code) {
    case Pane::eEventLeftButtonDown: return handleDropSourceMouseEvent(UIA::eEventMouseButton, data);
    case Pane::eEventLeftButtonUp: handleDropSourceMouseEvent(UIA::eEventMouseButton, data); return 0;
    case UIA::eEventMouseLeave: handleDropSourceMouseEvent(UIA::eEventMouseLeave, data); return 0;
    case Pane::eEventLeftButtonDrag: {
        const int r = handleDropSourceMouseEvent(UIA::eEventMouseDrag, data);
        if (r != 2)
            return r == 1 ? 1 : 0;
        // The platform's drag takes the pointer from here on, release included: the press
        // sequence ends now, so no widget keeps a hover or a press from it.
        if (pane)
            pane->endPressForDrag();
        // A copy: the function may replace itself.
        if (const DragStartFunction start = m_dragStart)
            start(data);
        return 2;
    }
    default: return 0;
    }
}

}  // namespace QV::PXT
