#include "UIA/DragDropManager.h"

#include "DragDrop/PlatformDrag.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/ExchangeData.h"
#include "UIA/InternalClipBoardFormat.h"
#include "UIA/WindowBase.h"

#include <GP/Application.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace QV::UIA {

EventTarget* DragDropManager::s_pCurrentDragTarget = nullptr;
uint32_t DragDropManager::s_eCurrentDropEffect = 0;
EventTarget* DragDropManager::s_pResultReceiver = nullptr;
bool DragDropManager::s_bIsDragInProgress = false;

namespace {

using DragDropSupport::eDropEffectFlag;

// The observers the handlers listed during the current drag, without duplicates.
std::set<EventTarget*>& observerReceivers()
{
    static std::set<EventTarget*> s_observers;
    return s_observers;
}

struct tFormatRegistry {
    std::map<std::string, unsigned> ids;
    unsigned counter = 0;
    bool started = false;
};

tFormatRegistry& formatRegistry()
{
    static tFormatRegistry s_registry;
    return s_registry;
}

// Targets destroyed while the manager's events are being delivered: a local pointer to one of them
// is not used again. Cleared when the outermost delivery ends (a later target may reuse an address).
struct tDelivery {
    int depth = 0;
    std::set<EventTarget*> destroyed;
};

tDelivery& delivery()
{
    static tDelivery s_delivery;
    return s_delivery;
}

class DeliveryScope {
public:
    DeliveryScope() { ++delivery().depth; }
    ~DeliveryScope()
    {
        if (--delivery().depth == 0)
            delivery().destroyed.clear();
    }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;
};

bool gone(EventTarget* target) { return delivery().destroyed.count(target) != 0; }

// Tells the observers; each one is looked up afresh, as an observer may destroy another.
void tellObservers(unsigned code, EventData* data)
{
    std::vector<EventTarget*> observers(observerReceivers().begin(), observerReceivers().end());
    for (EventTarget* observer : observers)
        if (observerReceivers().count(observer))
            observer->sendObserverEvent(code, data);
}

// The window an internal drag started here comes from, while that drag runs: once the window is
// destroyed (gone), its pointer in the drag's data must not be followed.
struct tDragSource {
    const WindowBase* window = nullptr;
    bool gone = false;
};

tDragSource& dragSource()
{
    static tDragSource s_source;
    return s_source;
}

// An internal drag is accepted only in the window it started in (and not once that window is gone).
bool internalDragAllowedIn(WindowBase* window, const DragDropRequestEventData& data)
{
    InternalClipBoardFormat internal;
    if (!data.data || !data.data->getFormat(internal) || !internal.getSource())
        return true;
    if (dragSource().gone && internal.getSource() == dragSource().window)
        return false;
    return DETAIL::platformWindowOf(internal.getSource()) == DETAIL::platformWindowOf(window);
}

}  // namespace

bool DragDropManager::handleDragRequestEvent(WindowBase* window, DragDropRequestEventData* data, EventTarget* target)
{
    DeliveryScope scope;
    EventTarget* const previous = std::exchange(s_pCurrentDragTarget, nullptr);
    s_eCurrentDropEffect = 0;
    bool handled = false;
    if (internalDragAllowedIn(window, *data)) {
        handled = target && target->sendEvent(eEventDragDropRequest, data);
        tellObservers(eEventDragDropRequest, data);
        if (handled) {
            if (data->target && !gone(data->target)) {
                s_pCurrentDragTarget = data->target;
                s_eCurrentDropEffect = data->dropEffect & ~eDropEffectFlag;
            } else if (!data->target && data->dropEffect == eDropEffectFlag && !data->observers.empty() &&
                       !gone(data->observers.front())) {
                s_pCurrentDragTarget = data->observers.front();
                s_eCurrentDropEffect = 0;
            }
        }
    }
    if (previous && previous != s_pCurrentDragTarget && !gone(previous)) {
        DragDropLeavedEventData leaved;
        previous->sendEvent(eEventDragDropLeaved, &leaved);
    }
    for (EventTarget* observer : data->observers)
        if (observer && !gone(observer))
            observerReceivers().insert(observer);
    return handled;
}

bool DragDropManager::handleDragReceiveEvent(DragDropReceiveEventData* data)
{
    bool result = false;
    DeliveryScope scope;
    if (EventTarget* target = std::exchange(s_pCurrentDragTarget, nullptr)) {
        data->dropEffect = s_eCurrentDropEffect;
        if (data->dropEffect != 0) {
            result = target->sendEvent(eEventDragDropReceive, data);
            tellObservers(eEventDragDropReceive, data);
        }
        DragDropLeavedEventData leaved;
        if (!gone(target))
            target->sendEvent(eEventDragDropLeaved, &leaved);
        tellObservers(eEventDragDropLeaved, &leaved);
    }
    s_eCurrentDropEffect = 0;
    observerReceivers().clear();
    return result;
}

bool DragDropManager::handleDragLeavedEvent(DragDropLeavedEventData* data)
{
    DeliveryScope scope;
    EventTarget* target = std::exchange(s_pCurrentDragTarget, nullptr);
    s_eCurrentDropEffect = 0;
    const bool result = target && target->sendEvent(eEventDragDropLeaved, data);
    tellObservers(eEventDragDropLeaved, data);
    observerReceivers().clear();
    return result;
}

bool DragDropManager::handleDragFinishedEvent(DragDropSupport::DropResult result)
{
    DeliveryScope scope;
    bool handled = false;
    if (EventTarget* receiver = std::exchange(s_pResultReceiver, nullptr)) {
        DragDropFinishedEventData finished;
        finished.result = result;
        handled = receiver->sendEvent(eEventDragDropFinished, &finished);
        tellObservers(eEventDragDropFinished, &finished);
    }
    s_pResultReceiver = nullptr;
    observerReceivers().clear();
    return handled;
}

unsigned DragDropManager::registerFormat(const char* name)
{
    tFormatRegistry& registry = formatRegistry();
    if (!registry.started) {
        registry.counter = static_cast<unsigned>(GP::Application::s_appSignature);
        registry.started = true;
    }
    const std::string key = name ? name : "";
    auto found = registry.ids.find(key);
    if (found != registry.ids.end())
        return found->second;
    registry.counter += 1;
    registry.ids.emplace(key, registry.counter);
    return registry.counter;
}

void DragDropManager::DoDragWithCallback(EventTarget* receiver, const ClipBoardFormat& format, unsigned allowedEffects,
                                         const DragDropSupport::DragImage* image)
{
    s_pResultReceiver = receiver;
    const auto* internal = dynamic_cast<const InternalClipBoardFormat*>(&format);
    const tDragSource outer = std::exchange(dragSource(), tDragSource{internal ? internal->getSource() : nullptr});
    ExchangeData data(format, false);
    DoDragWithCallback(data, allowedEffects, image);
    dragSource() = outer;
}

void DragDropManager::DoDragWithCallback(ExchangeData& data, unsigned allowedEffects,
                                         const DragDropSupport::DragImage* image)
{
    if (!data.getPasteboard() || !DETAIL::canStartPlatformDrag()) {
        handleDragFinishedEvent(DragDropSupport::eDropResultOther);
        return;
    }
    s_bIsDragInProgress = true;
    DETAIL::runPlatformDrag(data, allowedEffects, image);
    s_bIsDragInProgress = false;
}

void DragDropManager::forgetTarget(EventTarget* target)
{
    if (!target)
        return;
    if (s_pCurrentDragTarget == target) {
        s_pCurrentDragTarget = nullptr;
        s_eCurrentDropEffect = 0;
    }
    if (s_pResultReceiver == target)
        s_pResultReceiver = nullptr;
    observerReceivers().erase(target);
    if (dragSource().window && !dragSource().gone && static_cast<const EventTarget*>(dragSource().window) == target)
        dragSource().gone = true;
    if (delivery().depth > 0)
        delivery().destroyed.insert(target);
}

}  // namespace QV::UIA
