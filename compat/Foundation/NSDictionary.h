// Foundation stand-in: NSDictionary, immutable dictionaries with string keys.
//
// Implements: +dictionaryWithObject:forKey:, +dictionaryWithObjects:forKeys:count: (keys and objects
// retained; a later key replaces an equal earlier one), -count, -objectForKey: (nil when absent).
// Lacks: mutable dictionaries, enumeration, keys that are not strings; no bridge with CFDictionary.
// Deviations: keys are compared as strings (-isEqualToString:); a nil key or object is skipped
// (the platform raises).
#pragma once

#include "Foundation/NSObjCRuntime.h"
#include "Foundation/NSObject.h"

struct NSDictionary : NSObject {};
