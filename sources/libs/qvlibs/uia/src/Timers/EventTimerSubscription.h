// One subscription of the timer service: a node of its list, made by setEventTimer and deleted by the
// manager. Its address is the subscription's handle.
#pragma once

#include "UIA/HEventTimer.h"

namespace QV::UIA {

class EventTarget;

namespace DETAIL {

struct EventTimerSubscription {
    EventTimerSubscription* prev = nullptr;
    EventTimerSubscription* next = nullptr;
    int interval = 0;               // ms, a multiple of the tick
    int remaining = 0;              // ms until the next event
    int priority = 0;               // higher first
    EventTarget* target = nullptr;  // not owned
    int busy = 0;                   // notifications of this node in progress
    bool killed = false;            // cancelled while busy: removed once it is no longer busy
};

}  // namespace DETAIL

}  // namespace QV::UIA
