// Foundation stand-in: NSArray, immutable arrays of objects.
//
// Implements: +arrayWithObjects:count: (each object retained), -count, -objectAtIndex:,
// -firstObject, -lastObject.
// Lacks: mutable arrays, enumeration, searching, sorting; no bridge with CFArray.
// Deviations: -objectAtIndex: out of range reports and aborts (the platform raises).
#pragma once

#include "Foundation/NSObjCRuntime.h"
#include "Foundation/NSObject.h"

struct NSArray : NSObject {};
