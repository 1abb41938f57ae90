// Foundation stand-in: NSThread, as far as asking for the main thread goes.
//
// Implements: +isMainThread.
// Lacks: thread objects, +currentThread, +detachNewThreadSelector:..., thread dictionaries.
// Deviations: the main thread is the process's initial thread (its thread id is the process id).
#pragma once

#include "Foundation/NSObject.h"

struct NSThread : NSObject {};
