// The receiver of events: everything that happens in the user interface reaches its receivers as a
// synchronous call of sendEvent with a code (EventCodes.h) and the sender's payload record
// (EventData.h). There is no queue: the sender waits, then reads the answer fields of its record and
// the result, which tells whether a receiver handled the event.
//
// Senders call sendEvent; receivers override onEvent and answer false for every code they do not
// handle. sendEvent itself is overridden only by a receiver that acts around the whole dispatch.
// Observer events tell targets about an operation they watch without taking part; they have no result.
//
// All events are delivered on the main thread; another thread reaches a target only through
// AsyncEventTargetImpl.
#pragma once

#include "UIA/HEventTimer.h"

namespace QV::UIA {

struct EventData;

class EventTarget {
public:
    EventTarget() = default;
    // Cancels the timer subscriptions and the cross-thread handles the target still has, so that
    // nothing reaches it once it is gone.
    virtual ~EventTarget();

    // Delivers an event: calls onEvent and answers its result.
    virtual bool sendEvent(unsigned code, EventData* data);
    // Delivers an observer event: calls onObserverEvent.
    virtual void sendObserverEvent(unsigned code, EventData* data);
    // Handles an event; true when handled. The base handles nothing.
    virtual bool onEvent(unsigned code, EventData* data);
    // Watches an operation. The base ignores it.
    virtual void onObserverEvent(unsigned code, EventData* data);

    // Subscribes this target to eEventTimer every intervalMs (rounded to the nearest multiple of the
    // 40 ms tick, at least one tick; an exact half rounds down); subscriptions of higher priority are
    // notified first on a common tick, equal ones in the order made. Null when no timer service exists.
    HEventTimer setEventTimer(int intervalMs, int priority);
    // Cancels a subscription of this target; null, stale handles and those of other targets are ignored.
    void killEventTimer(HEventTimer timer);
};

}  // namespace QV::UIA
