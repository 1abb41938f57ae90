// Foundation stand-in: NSAutoreleasePool over the runtime's per-thread pools.
//
// Implements: [[NSAutoreleasePool alloc] init] pushes a pool on the calling thread, -drain and -release
// pop it (with every pool pushed after it) and free the pool object.
// Lacks: +addObject:, -addObject:.
// Deviations: -retain and -autorelease of a pool report and abort (the platform raises); draining on
// another thread than the one that made the pool is reported and ignored.
#pragma once

#include "Foundation/NSObject.h"

struct NSAutoreleasePool : NSObject {};
