// Foundation stand-in: NSNumber, for the boolean values the program registers as user defaults.
//
// Implements: +numberWithBool:, -boolValue.
// Lacks: every other kind of number, comparison, formatting; no bridge with CFNumber or CFBoolean.
#pragma once

#include "Foundation/NSObject.h"

struct NSNumber : NSObject {};
