// Foundation stand-in: NSTimer, fired by the run loop it is added to (see NSRunLoop.h).
//
// Implements: +timerWithTimeInterval:target:selector:userInfo:repeats: (made with +alloc and -init sent
// to the receiving class, so a subclass gets its own instances), -invalidate, -isValid, -timeInterval,
// -userInfo. A timer retains its target and user info until it is invalidated; the run loop it is added
// to retains it until then. A fire is a message send of the selector to the target with the timer as
// argument, so a method that the program's run-time classes override is reached; target and timer are
// kept alive for the length of the send. The first fire date is the time of creation plus the
// interval, and no fire comes before its date. A one-shot timer is invalidated after its fire; a
// repeating one fires again at the next multiple of the interval after the previous date that lies in
// the future (missed fires are skipped, as on the platform). As on the platform, a timer is
// invalidated on the thread that runs its run loop.
// Lacks: +scheduledTimer..., fire dates as NSDate, -fire, tolerance, invocations, block timers.
// Deviations: an interval of 0 or less becomes 0.1 ms, as on the platform; adding a timer that is
// invalid or already in a run loop does nothing (the platform raises for the second). A fire waits on
// GLib's poll, which counts whole milliseconds.
#pragma once

#include "Foundation/NSObject.h"

typedef double NSTimeInterval;

struct NSTimer : NSObject {};
