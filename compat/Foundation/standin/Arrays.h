// Inside the stand-in: NSArray's class, for the pieces that hand out arrays (NSScreen's +screens).
#pragma once

#include <objc/runtime.h>

namespace qvcompat::foundation {

// The registered class, made on first use.
Class NSArrayClass();

}  // namespace qvcompat::foundation
