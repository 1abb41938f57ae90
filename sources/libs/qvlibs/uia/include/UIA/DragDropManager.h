// Drags over this program's windows and drags started from it.
//
// As a destination: the content view reports a drag entering or moving over its window
// (handleDragRequestEvent), dropping (handleDragReceiveEvent) and leaving (handleDragLeavedEvent).
// The manager sends eEventDragDropRequest to the window, remembers the target that accepted it and
// the effect it chose, and tells the observers the handlers listed; the drop goes to that target.
// As a source: DoDragWithCallback puts the data on a private pasteboard and runs the platform drag
// from the view of the last mouse event; its end reaches the result receiver as
// eEventDragDropFinished (handleDragFinishedEvent).
//
// A target or observer that is destroyed during a drag leaves the manager at once (forgetTarget,
// called by ~EventTarget) and gets no event afterwards. Main thread only.
#pragma once

#include "UIA/DragDropSupport.h"

#include <cstdint>

namespace QV::UIA {

class ClipBoardFormat;
struct DragDropLeavedEventData;
struct DragDropReceiveEventData;
struct DragDropRequestEventData;
class EventTarget;
class ExchangeData;
class WindowBase;

class DragDropManager {
public:
    // A drag entered or moved over `window`: `target` (the window) gets eEventDragDropRequest, the
    // observers see it. True when the target handled it; the handler's `target` and `dropEffect`
    // (without the flag bit) become the current target and effect. An internal drag from another
    // window is refused. The previous target, when it is no longer current, gets eEventDragDropLeaved.
    static bool handleDragRequestEvent(WindowBase* window, DragDropRequestEventData* data, EventTarget* target);
    // The drop: the current target gets eEventDragDropReceive with the current effect (unless it
    // is 0), then eEventDragDropLeaved; the observers see both. The drag's state is cleared.
    static bool handleDragReceiveEvent(DragDropReceiveEventData* data);
    // The drag left: the current target gets eEventDragDropLeaved (its answer is the result), the
    // observers see it, and the drag's state is cleared.
    static bool handleDragLeavedEvent(DragDropLeavedEventData* data);
    // A drag started here ended: the result receiver gets eEventDragDropFinished and the observers
    // see it. The receiver and the observers are forgotten in any case.
    static bool handleDragFinishedEvent(DragDropSupport::DropResult result);

    // The id of an in-process payload format: the application's signature plus 1, 2, 3 ... in the
    // order names are first registered; the same name answers the same id.
    static unsigned registerFormat(const char* name);

    // Starts a drag of the format's data from the view of the last mouse event and returns when it
    // is over; `receiver` (may be null) gets eEventDragDropFinished. A drag that cannot start ends
    // at once with result 0.
    static void DoDragWithCallback(EventTarget* receiver, const ClipBoardFormat& format, unsigned allowedEffects,
                                   const DragDropSupport::DragImage* image);
    // The same for data already on a private pasteboard (the result receiver is set by the caller).
    static void DoDragWithCallback(ExchangeData& data, unsigned allowedEffects,
                                   const DragDropSupport::DragImage* image);

    // Whether a drag started here is running (the view ignores mouse enter and leave meanwhile).
    static bool isDragInProgress() { return s_bIsDragInProgress; }
    // The target and effect of the drag over a window of this program, for its view and tests.
    static EventTarget* getCurrentDragTarget() { return s_pCurrentDragTarget; }
    static uint32_t getCurrentDropEffect() { return s_eCurrentDropEffect; }

    // A target is being destroyed: it leaves the current drag (target, observers, result receiver).
    static void forgetTarget(EventTarget* target);

private:
    static EventTarget* s_pCurrentDragTarget;
    static uint32_t s_eCurrentDropEffect;
    static EventTarget* s_pResultReceiver;
    static bool s_bIsDragInProgress;
};

}  // namespace QV::UIA
