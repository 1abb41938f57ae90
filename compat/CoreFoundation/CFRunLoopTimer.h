// CoreFoundation stand-in: run-loop timers and absolute time.
//
// Implements: CFAbsoluteTimeGetCurrent (seconds since 1 January 2001, from the system clock);
// CFRunLoopTimerCreate with a fire date, an interval (0: one-shot) and a callout; adding a timer to
// a run loop attaches it to the GLib main context that is the calling thread's default at that moment
// (the main thread's run loop is GLib's default context), where it fires while that context is
// iterated; removing or invalidating it detaches it. A one-shot timer is invalidated after its
// callout returns, as on the platform.
// Lacks: tolerance, order, changing the fire date, context retain/release callbacks (the info pointer
// is passed as it is).
// Deviations: run-loop modes are not told apart: a timer added in any mode fires in all of them, and
// adding it again in another mode changes nothing. The fire date is measured on the monotonic clock
// from the moment the timer is added, so a change of the wall clock does not move it.
#pragma once

#include "CoreFoundation/CoreFoundation.h"

typedef double CFTimeInterval;
typedef CFTimeInterval CFAbsoluteTime;
typedef unsigned long CFOptionFlags;
typedef struct __CFRunLoopTimer* CFRunLoopTimerRef;
typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* info);

struct CFRunLoopTimerContext {
    CFIndex version;
    void* info;
    const void* (*retain)(const void* info);
    void (*release)(const void* info);
    CFStringRef (*copyDescription)(const void* info);
};

extern const CFRunLoopMode kCFRunLoopCommonModes;

CFAbsoluteTime CFAbsoluteTimeGetCurrent();

CFTypeID CFRunLoopTimerGetTypeID();
// A valid timer that fires first at fireDate, then every interval seconds when interval > 0. The
// context's info is handed to the callout. Null without a callout.
CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef allocator, CFAbsoluteTime fireDate, CFTimeInterval interval,
                                       CFOptionFlags flags, CFIndex order, CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext* context);
// The run loop retains the timer while it holds it. Nothing for an invalid timer.
void CFRunLoopAddTimer(CFRunLoopRef runLoop, CFRunLoopTimerRef timer, CFRunLoopMode mode);
// Detaches the timer and drops the run loop's reference; nothing when it is not added.
void CFRunLoopRemoveTimer(CFRunLoopRef runLoop, CFRunLoopTimerRef timer, CFRunLoopMode mode);
Boolean CFRunLoopContainsTimer(CFRunLoopRef runLoop, CFRunLoopTimerRef timer, CFRunLoopMode mode);
// The timer never fires again and leaves its run loop.
void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
