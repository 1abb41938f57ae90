#include "PXT/DragDropEventTarget.h"

#include "PXT/DropHandler.h"
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

namespace QV::PXT {

DragDropEventTarget::~DragDropEventTarget() = default;

bool DragDropEventTarget::onEvent(unsigned code, UIA::EventData* data)
{
    switch (code) {
    case UIA::eEventDragDropRequest: {
        // The handler that had the drag so far hears that it lost it when another one (or none)
        // takes this request: the manager's leave reaches the widget only when the widget loses
        // the drag, and then this handler is no longer current.
        const std::shared_ptr<DropHandlerBase> previous = std::move(m_pCurrentHandler);
        m_pCurrentHandler = nullptr;
        auto* request = static_cast<UIA::DragDropRequestEventData*>(data);
        bool accepted = false;
        if (request) {
            accepted = dispatchInternalFormatRequest(request);
            for (auto handler = m_requestHandlers.begin(); !accepted && handler != m_requestHandlers.end(); ++handler)
                if ((*handler)->m_request(request)) {
                    m_pCurrentHandler = *handler;
                    accepted = true;
                }
            // The manager delivers the drop and the leave to the record's target: this widget,
            // unless the handler named another receiver.
            if (accepted && !request->target)
                request->target = this;
        }
        if (previous && previous != m_pCurrentHandler && previous->m_leave)
            previous->m_leave();
        return accepted;
    }
    case UIA::eEventDragDropReceive: {
        if (!m_pCurrentHandler || !data)
            return UIA::EventTarget::onEvent(code, data);
        auto* drop = static_cast<UIA::DragDropReceiveEventData*>(data);
        const GP::Point origin = getDragDropOrigin();
        const GP::Point pos = drop->pos;
        drop->pos = GP::Point(pos.x - origin.x, pos.y - origin.y);
        // The handler may remove the widget: it stays alive for the call, and nothing of the
        // widget is touched afterwards.
        const std::shared_ptr<DropHandlerBase> handler = m_pCurrentHandler;
        const bool taken = handler->drop(drop);
        drop->pos = pos;
        return taken;
    }
    case UIA::eEventDragDropLeaved:
        if (!m_pCurrentHandler)
            return false;
        leaveDrag();
        return true;
    default: return UIA::EventTarget::onEvent(code, data);
    }
}

void DragDropEventTarget::leaveDrag()
{
    // Kept for the call: the leave function may remove the widget.
    const std::shared_ptr<DropHandlerBase> handler = std::move(m_pCurrentHandler);
    m_pCurrentHandler = nullptr;
    if (handler && handler->m_leave)
        handler->m_leave();
}

void DragDropEventTarget::onObserverEvent(unsigned code, UIA::EventData* data)
{
    UIA::EventTarget::onObserverEvent(code, data);
    if (code != UIA::eEventDragDropLeaved)
        return;
    // A copy: an observer may remove the widget and its lists with it.
    const std::list<std::shared_ptr<DropHandlerBase>> observers = m_leaveObservers;
    for (const std::shared_ptr<DropHandlerBase>& observer : observers)
        if (observer->m_leave)
            observer->m_leave();
}

bool DragDropEventTarget::dispatchInternalFormatRequest(UIA::DragDropRequestEventData* data)
{
    if (m_internalFormatHandlers.empty() || !data)
        return false;
    m_pCurrentHandler = nullptr;
    const UIA::DragDropData* payload = UIA::DNDDelegate::getInternalDragDropData(*data);
    if (!payload)
        return false;
    for (const std::shared_ptr<InternalFormatDropHandler>& handler : m_internalFormatHandlers)
        if (handler->getFormat() == payload->formatId && handler->m_request(data, payload)) {
            m_pCurrentHandler = handler;
            return true;
        }
    return false;
}

void DragDropEventTarget::addDropHandler(std::shared_ptr<DropHandler> handler)
{
    if (handler)
        m_requestHandlers.push_back(std::move(handler));
}

void DragDropEventTarget::addDropHandler(std::shared_ptr<InternalFormatDropHandler> handler)
{
    if (handler)
        m_internalFormatHandlers.push_back(std::move(handler));
}

void DragDropEventTarget::addLeaveObserver(std::shared_ptr<DropHandlerBase> handler)
{
    if (handler)
        m_leaveObservers.push_back(std::move(handler));
}

}  // namespace QV::PXT
