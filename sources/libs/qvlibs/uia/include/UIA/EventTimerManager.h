// The process's timer service: one operating-system timer with a base tick of 40 ms drives every
// eEventTimer subscription of the event targets (EventTarget::setEventTimer). The application owns it;
// the one alive registers itself as the singleton that the targets subscribe with.
//
// Subscriptions are kept in a list by descending priority, equal priorities in the order made. Each
// tick counts every subscription down by the tick and notifies those that are due, in list order; a
// subscription fires first one interval after it was made, then every interval. The operating-system
// timer runs exactly while at least one subscription exists.
//
// Main thread only, no lock. A target may make or cancel subscriptions, its own or others', from inside
// its timer event, and a tick may arrive while an earlier one is still being delivered (a modal loop
// inside a timer event): a subscription being notified is only marked when cancelled and goes once
// its outermost notification has returned; a marked one receives nothing more. A subscription made
// during a tick, behind the one being notified, is counted in that same tick.
#pragma once

#include "UIA/AbstractEventTimerManagerOsBridge.h"
#include "UIA/HEventTimer.h"

#include <functional>
#include <memory>

namespace QV::UIA {

class EventTarget;

class EventTimerManager {
public:
    using tBridgeFactory =
        std::function<std::unique_ptr<AbstractEventTimerManagerOsBridge>(EventTimerManager& manager)>;

    // With the platform's timer (an NSTimer on the main run loop); registers itself as the singleton.
    EventTimerManager();
    // With another operating-system timer, made by `makeBridge` (tests drive the ticks themselves).
    explicit EventTimerManager(const tBridgeFactory& makeBridge);
    EventTimerManager(const EventTimerManager&) = delete;
    EventTimerManager& operator=(const EventTimerManager&) = delete;
    // Stops the operating-system timer, drops every subscription and unregisters the singleton.
    ~EventTimerManager();

    static void setSingleton(EventTimerManager* manager);
    // The registered manager; null when none exists.
    static EventTimerManager* getSingleton();

    // See EventTarget::setEventTimer.
    HEventTimer setEventTimer(EventTarget& target, int intervalMs, int priority);
    // See EventTarget::killEventTimer.
    void killEventTimer(EventTarget& target, HEventTimer timer);
    // Cancels every subscription of a target that goes away.
    void killEventTimers(EventTarget& target);

    // One tick of the operating-system timer: notifies the due subscriptions.
    void notifySubscribers();

    int getTickMs() const { return m_tickMs; }
    // The interval a subscription asking for intervalMs gets: the nearest multiple of the tick, an
    // exact half rounding down; at least one tick, at most the largest multiple that fits an int.
    int roundInterval(int intervalMs) const;

private:
    using Node = DETAIL::EventTimerSubscription;

    bool isListed(const Node* node) const;
    // Unlinks and deletes a node that nothing notifies now, else only marks it; then stops the
    // operating-system timer when no subscription is left.
    void cancel(Node* node);
    void unlink(Node* node);

    std::unique_ptr<AbstractEventTimerManagerOsBridge> m_bridge;
    const int m_tickMs = 40;
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
};

}  // namespace QV::UIA
