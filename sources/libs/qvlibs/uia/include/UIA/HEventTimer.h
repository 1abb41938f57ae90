// The handle of one event-timer subscription (EventTarget::setEventTimer), carried in its timer events.
// Null is no subscription.
#pragma once

namespace QV::UIA {

namespace DETAIL {
struct EventTimerSubscription;
}

using HEventTimer = DETAIL::EventTimerSubscription*;

}  // namespace QV::UIA
