// The timer service's one operating-system dependency: a main-thread timer that calls
// notifySubscribers every tick and keeps doing so during modal loops and tracking.
#pragma once

#include <chrono>

namespace QV::UIA {

class EventTimerManager;

class AbstractEventTimerManagerOsBridge {
public:
    explicit AbstractEventTimerManagerOsBridge(EventTimerManager& manager) : m_manager(manager) {}
    AbstractEventTimerManagerOsBridge(const AbstractEventTimerManagerOsBridge&) = delete;
    AbstractEventTimerManagerOsBridge& operator=(const AbstractEventTimerManagerOsBridge&) = delete;
    virtual ~AbstractEventTimerManagerOsBridge() = default;

    // Starts ticking every `tick` on the calling (main) thread; nothing when already ticking.
    virtual void install(std::chrono::milliseconds tick) = 0;
    // Stops ticking; nothing when not ticking. May be called from inside a tick.
    virtual void deinstall() = 0;

    // One tick: hands it to the manager.
    void notifySubscribers();

protected:
    EventTimerManager& m_manager;
};

}  // namespace QV::UIA
