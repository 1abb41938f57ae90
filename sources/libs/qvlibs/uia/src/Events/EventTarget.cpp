#include "UIA/EventTarget.h"

#include "UIA/AsyncEventTargetImpl.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventTimerManager.h"

namespace QV::UIA {

EventTarget::~EventTarget()
{
    // A subscription or handle left behind would deliver to freed memory.
    if (EventTimerManager* timers = EventTimerManager::getSingleton())
        timers->killEventTimers(*this);
    AsyncEventTargetImpl::forgetTarget(this);
    // A target destroyed during a drag gets no drag event afterwards.
    DragDropManager::forgetTarget(this);
}

bool EventTarget::sendEvent(unsigned code, EventData* data) { return onEvent(code, data); }

void EventTarget::sendObserverEvent(unsigned code, EventData* data) { onObserverEvent(code, data); }

bool EventTarget::onEvent(unsigned, EventData*) { return false; }

void EventTarget::onObserverEvent(unsigned, EventData*) {}

HEventTimer EventTarget::setEventTimer(int intervalMs, int priority)
{
    EventTimerManager* timers = EventTimerManager::getSingleton();
    return timers ? timers->setEventTimer(*this, intervalMs, priority) : nullptr;
}

void EventTarget::killEventTimer(HEventTimer timer)
{
    if (EventTimerManager* timers = EventTimerManager::getSingleton())
        timers->killEventTimer(*this, timer);
}

}  // namespace QV::UIA
