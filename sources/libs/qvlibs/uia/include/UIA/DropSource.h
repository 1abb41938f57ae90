// The start of a drag from mouse events: a drag source (the toolkit's widgets derive from it) feeds
// its mouse events to handleDropSourceMouseEvent, which arms at a left press the source agrees to
// (canDragStart) and says when a move has gone far enough, and long enough, for the drag to start.
// Starting it is the caller's (DragDropManager::DoDragWithCallback or the installed delegate).
//
//   event                      not armed                 armed
//   left press, canDragStart   arm, 1                    arm again, 1
//   other button event         0                         disarm, 0
//   move or drag               0                         1 while |d|^2 < 8 or within the timeout,
//                                                        else disarm, 2 (start the drag now)
//   leave                      0                         disarm, 0
//   other codes 1000..1099     0                         0
//   codes outside 1000..1099   0, nothing changes        0, nothing changes
//
// Main thread only.
#pragma once

#include "GP/Point.h"

#include <cstdint>

namespace QV::UIA {

struct EventData;

class DropSource {
public:
    // The answers of handleDropSourceMouseEvent.
    enum eMouseAnswer : int {
        eMouseNotHandled = 0,
        eMouseConsumed = 1,
        eMouseStartDrag = 2
    };

    DropSource();
    virtual ~DropSource();

    // Whether a left press at `pos` (the event's position) may start a drag.
    virtual bool canDragStart(const GP::Point& pos) const = 0;
    // The drag starts only once this many milliseconds have passed since the press (0 at first)
    // and the pointer has moved far enough.
    virtual void setDragStartTimeout(unsigned ms);

    // `data` is the MouseEventData or MouseButtonEventData of the code (EventCodes.h). Answers an
    // eMouseAnswer; see the table above.
    int handleDropSourceMouseEvent(unsigned code, EventData* data);

    bool isDragArmed() const { return m_bArmed; }

protected:
    GP::Point m_pressPos;
    uint32_t m_pressTimeMs = 0;  // the platform core's millisecond clock at the press
    uint32_t m_dragStartTimeout = 0;
    bool m_bEnabled = true;  // a disabled source never arms

private:
    // Armed apart from the press time, so that a press at a clock reading of 0 arms as well.
    bool m_bArmed = false;
};

}  // namespace QV::UIA
