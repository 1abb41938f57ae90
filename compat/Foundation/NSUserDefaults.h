// Foundation stand-in: NSUserDefaults, the registration domain of the user's defaults.
//
// Implements: +standardUserDefaults (one object for the process's life), -registerDefaults: (the
// dictionary's entries join the registration domain, replacing values registered before under the
// same keys), -objectForKey: (nil when absent), -boolForKey: (NO when absent or not an NSNumber).
// Lacks: the persistent domains (the program registers defaults and stores none), setters,
// -synchronize, other typed getters, suites.
// Deviations: nothing is read from or written to disk: the values live as long as the process.
#pragma once

#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

struct NSUserDefaults : NSObject {};
