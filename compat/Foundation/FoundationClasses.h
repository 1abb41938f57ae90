// Foundation's classes and run-loop helpers as the stand-in's own C++ code reaches them. Internal:
// outside the stand-in, classes are found by name (objc_getClass) and reached by message sends.
#pragma once

#include <objc/runtime.h>

struct _GMainContext;

namespace qvcompat::foundation {

// The registered classes, each made on first use (safe during static initialisation).
Class NSObjectClass();
Class NSStringClass();  // making it installs the CFString bridge
Class NSAutoreleasePoolClass();
Class NSNotificationClass();
Class NSNotificationCenterClass();
Class NSRunLoopClass();  // making it adds the perform messages of NSRunLoop.h to NSObject
Class NSTimerClass();
Class NSThreadClass();
Class NSNumberClass();
Class NSDictionaryClass();
Class NSUserDefaultsClass();

// Whether the calling thread is the main thread (the process's initial thread).
bool isMainThread();

// The GLib main context under a run loop (not owned by the caller); null for nil.
_GMainContext* runLoopContext(id runLoop);

namespace detail {

// Puts a valid timer that no run loop holds yet on a context, which retains it until it is invalidated.
// False (and nothing done) for an invalid or already scheduled timer. For NSRunLoop.
bool scheduleTimer(id timer, _GMainContext* context);

}  // namespace detail

}  // namespace qvcompat::foundation
