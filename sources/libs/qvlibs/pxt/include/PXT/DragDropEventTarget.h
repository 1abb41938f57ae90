// The drop-target part of every widget: the drag requests, drops and leaves that reach the widget
// go to the drop handlers registered with it (PXT/DropHandler.h).
//
// A request (eEventDragDropRequest) asks the internal-format handlers whose format the dragged
// payload has, then the plain handlers, in the order added; the first that accepts becomes the
// current handler, and the widget names itself as the record's target unless the handler named
// one, so the UI layer's drag-and-drop manager sends the drop and the leave of that drag straight
// to this widget. A current handler that a later request leaves without it (another handler or
// none takes it) is told at once, as if the drag had left. The drop (eEventDragDropReceive) goes
// to the current handler; the leave (eEventDragDropLeaved) tells it and forgets it. Leave observers hear the end of every drag that
// passed over the widget (the windowing pane lists the widget as an observer of the drag).
//
// Positions the handlers see are relative to the widget: the windowing pane moves the request's
// position before asking, and the drop's position is moved here by the widget's origin.
// Main thread only.
#pragma once

#include "GP/Point.h"
#include "UIA/EventTarget.h"

#include <list>
#include <memory>

namespace QV::UIA {
struct DragDropRequestEventData;
}

namespace QV::PXT {

class DropHandlerBase;
class DropHandler;
class InternalFormatDropHandler;

class DragDropEventTarget : public UIA::EventTarget {
public:
    ~DragDropEventTarget() override;

    // The three drag codes as above; every other code goes to EventTarget.
    bool onEvent(unsigned code, UIA::EventData* data) override;
    // The end of a drag (eEventDragDropLeaved) calls every leave observer's leave function.
    void onObserverEvent(unsigned code, UIA::EventData* data) override;

    // Handlers live as long as the widget; null ones are ignored.
    void addDropHandler(std::shared_ptr<DropHandler> handler);
    void addDropHandler(std::shared_ptr<InternalFormatDropHandler> handler);
    void addLeaveObserver(std::shared_ptr<DropHandlerBase> handler);
    bool hasLeaveObservers() const { return !m_leaveObservers.empty(); }
    // The handler that accepted the last request, until the drop, the leave or the next request.
    const DropHandlerBase* getCurrentDropHandler() const { return m_pCurrentHandler.get(); }

protected:
    // Where the widget lies in the coordinates of the drag events the UI layer sends.
    virtual GP::Point getDragDropOrigin() const { return GP::Point(); }
    // The widget lets go of the drag under way (it left its window): the current handler, when
    // there is one, is forgotten and hears its leave, so a later drop is not taken.
    void leaveDrag();

private:
    // Asks the internal-format handlers; false without one, without an in-process payload, or
    // when none of those of the payload's format accepts.
    bool dispatchInternalFormatRequest(UIA::DragDropRequestEventData* data);

    std::list<std::shared_ptr<DropHandler>> m_requestHandlers;
    std::list<std::shared_ptr<InternalFormatDropHandler>> m_internalFormatHandlers;
    std::list<std::shared_ptr<DropHandlerBase>> m_leaveObservers;
    std::shared_ptr<DropHandlerBase> m_pCurrentHandler;
};

}  // namespace QV::PXT
