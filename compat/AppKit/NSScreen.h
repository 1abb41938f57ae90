// AppKit stand-in: NSScreen, one per monitor of the X display (CoreGraphics' displays).
//
// Implements: +screens (the main screen, GDK's primary monitor, first; then the others in GDK's
// order), -frame and -visibleFrame in the platform's screen coordinates (origin at the bottom-left of
// the first screen, y upwards; the visible frame is the monitor's work area), -backingScaleFactor
// (GDK's integer scale factor), -displayID.
// Lacks: +mainScreen, +deepestScreen, colour spaces and profiles, -deviceDescription, fractional
// scales (X reports integer ones), notifications of changes (CoreGraphics' reconfiguration
// callbacks report them).
// Deviations: every +screens makes new screen objects describing the monitors at that moment.
#pragma once

#include <Foundation/Foundation.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSGeometry.h>

struct NSScreen : NSObject {};
