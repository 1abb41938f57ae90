// AppKit stand-in: NSColor, as far as windows use it.
//
// Implements: +clearColor, +windowBackgroundColor, +colorWithCalibratedRed:green:blue:alpha:,
// -redComponent, -greenComponent, -blueComponent, -alphaComponent (device RGB).
// Lacks: colour spaces, catalogue colours other than these, patterns, -set.
// Deviations: none known.
#pragma once

#include <Foundation/Foundation.h>

struct NSColor : NSObject {};
