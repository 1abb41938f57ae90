// The timer service's operating-system timer on the platform: a one-shot NSTimer on the main run loop,
// in the common modes (so that ticks go on during menu tracking and window resizing), re-armed by
// every fire before the subscribers are notified. The timer's target is an object of the run-time
// class ComOrvendalCocoaNSTimerCallback, which holds the bridge.
#pragma once

#include "UIA/AbstractEventTimerManagerOsBridge.h"

#include <objc/runtime.h>

namespace QV::UIA {

class EventTimerManagerMacosBridge : public AbstractEventTimerManagerOsBridge {
public:
    explicit EventTimerManagerMacosBridge(EventTimerManager& manager);
    ~EventTimerManagerMacosBridge() override;

    void install(std::chrono::milliseconds tick) override;
    void deinstall() override;

    bool isInstalled() const { return m_callback != nil; }
    // The run-time class of the callback objects; null when it could not be made.
    static Class getCallbackClass();

private:
    id m_callback = nil;
};

}  // namespace QV::UIA
