#include "UIA/EventTimerManager.h"

#include "Timers/EventTimerManagerMacosBridge.h"
#include "Timers/EventTimerSubscription.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"

#include <algorithm>
#include <climits>

namespace QV::UIA {

namespace {

EventTimerManager* gEventTimerManagerSingleton = nullptr;

}  // namespace

EventTimerManager::EventTimerManager()
    : EventTimerManager([](EventTimerManager& manager) -> std::unique_ptr<AbstractEventTimerManagerOsBridge> {
          return std::make_unique<EventTimerManagerMacosBridge>(manager);
      })
{}

EventTimerManager::EventTimerManager(const tBridgeFactory& makeBridge) : m_bridge(makeBridge(*this))
{
    setSingleton(this);
}

EventTimerManager::~EventTimerManager()
{
    if (m_head)
        m_bridge->deinstall();
    // Another manager made later is the singleton now: leave it.
    if (gEventTimerManagerSingleton == this)
        setSingleton(nullptr);
    while (Node* node = m_head) {
        m_head = node->next;
        delete node;
    }
    m_tail = nullptr;
    m_bridge.reset();
}

void EventTimerManager::setSingleton(EventTimerManager* manager) { gEventTimerManagerSingleton = manager; }

EventTimerManager* EventTimerManager::getSingleton() { return gEventTimerManagerSingleton; }

// Computed wide: the multiple above a large request may not fit an int.
int EventTimerManager::roundInterval(int intervalMs) const
{
    if (intervalMs <= m_tickMs)
        return m_tickMs;
    const long long requested = intervalMs;
    const long long base = requested - requested % m_tickMs;
    const long long rounded = base + m_tickMs / 2 < requested ? base + m_tickMs : base;
    return static_cast<int>(std::min<long long>(rounded, INT_MAX - INT_MAX % m_tickMs));
}

HEventTimer EventTimerManager::setEventTimer(EventTarget& target, int intervalMs, int priority)
{
    auto* node = new Node;
    node->interval = node->remaining = roundInterval(intervalMs);
    node->priority = priority;
    node->target = &target;

    const bool wasEmpty = m_head == nullptr;
    // Behind every node of the same or a higher priority.
    Node* before = m_head;
    while (before && before->priority >= priority)
        before = before->next;
    node->next = before;
    node->prev = before ? before->prev : m_tail;
    (node->prev ? node->prev->next : m_head) = node;
    (before ? before->prev : m_tail) = node;

    if (wasEmpty)
        m_bridge->install(std::chrono::milliseconds(m_tickMs));
    return node;
}

void EventTimerManager::killEventTimer(EventTarget& target, HEventTimer timer)
{
    // The handle is looked up rather than trusted: a stale one must not be touched.
    if (!timer || !isListed(timer) || timer->target != &target || timer->killed)
        return;
    cancel(timer);
}

void EventTimerManager::killEventTimers(EventTarget& target)
{
    for (Node* node = m_head; node;) {
        Node* next = node->next;
        if (node->target == &target && !node->killed)
            cancel(node);
        node = next;
    }
}

void EventTimerManager::notifySubscribers()
{
    for (Node* node = m_head; node;) {
        ++node->busy;
        if (!node->killed) {
            node->remaining -= m_tickMs;
            if (node->remaining <= 0) {
                if (-2 * node->remaining <= m_tickMs) {
                    node->remaining = node->interval;
                    TimerEventData data;
                    data.timer = node;
                    data.intervalMs = node->interval;
                    node->target->sendEvent(eEventTimer, &data);
                } else {
                    // Only an interval that is not a multiple of the tick overshoots by more than half a
                    // tick; setEventTimer makes none, but the rule keeps such a one on its average pace.
                    node->remaining += node->interval;
                    if (node->remaining == 0)
                        node->remaining = node->interval;
                }
            }
        }
        --node->busy;
        // Read only now: the event may have cancelled or added the nodes that follow.
        Node* next = node->next;
        if (node->killed && node->busy == 0) {
            unlink(node);
            delete node;
            if (!m_head)
                m_bridge->deinstall();
        }
        node = next;
    }
}

bool EventTimerManager::isListed(const Node* node) const
{
    for (const Node* listed = m_head; listed; listed = listed->next)
        if (listed == node)
            return true;
    return false;
}

void EventTimerManager::cancel(Node* node)
{
    if (node->busy > 0) {
        node->killed = true;
        return;
    }
    unlink(node);
    delete node;
    if (!m_head)
        m_bridge->deinstall();
}

void EventTimerManager::unlink(Node* node)
{
    (node->prev ? node->prev->next : m_head) = node->next;
    (node->next ? node->next->prev : m_tail) = node->prev;
    node->prev = node->next = nullptr;
}

}  // namespace QV::UIA
