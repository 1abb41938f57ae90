// The cross-thread channel: the one way for another thread to reach an event target. A target is
// registered under a handle; a poster on any thread posts a code for a handle as a notification of the
// default notification centre (an object of the run-time class ComOrvendalAsyncNotification carrying
// the code and the handle), and the channel's dispatcher hops to the main thread, where the target
// receives sendEvent(code, empty EventData). Nothing is delivered for a handle that is not registered
// by then, nor while the channel is stopped.
//
// The handle map is guarded by a recursive lock that is held while the target runs, so once
// unregisterTarget (or the target's destructor) has returned, the target receives nothing more.
#pragma once

#include <string>

namespace QV::UIA {

class EventTarget;

class AsyncEventTargetImpl {
public:
    // Starts the channel: makes the dispatcher and registers it with the default notification centre
    // under the channel's notification name. With platformOff nothing is done. Always true; a second
    // start while running changes nothing.
    static bool init(bool platformOff);
    // Stops the channel; notifications that still arrive are dropped.
    static void deInit();

    // Main thread: delivers `code` to the target registered under `handle`; false when there is none,
    // else the target's answer.
    static bool dispatchEvent(unsigned code, unsigned handle);

    // Registers a target and answers a new handle for it (never 0; not given out again before about
    // four billion others); 0 for null.
    static unsigned registerTarget(EventTarget* target);
    static void unregisterTarget(unsigned handle);
    // Drops every handle of a target that goes away.
    static void forgetTarget(EventTarget* target);

    // Any thread: posts `code` for `handle`. Posted on the main thread it is delivered before this
    // returns, from any other thread when the main run loop next runs. False, and nothing posted, while
    // the channel is stopped.
    static bool postEvent(unsigned code, unsigned handle);

    // The name the channel's notifications are posted under: the dispatcher class's name followed by
    // "Notification"; empty while the channel is stopped.
    static std::string getNotificationName();
};

}  // namespace QV::UIA
