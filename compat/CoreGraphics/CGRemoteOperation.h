// CoreGraphics stand-in: moving the pointer.
//
// Implements: CGWarpMouseCursorPosition over gdk_device_warp of the default seat's pointer (X11).
// Lacks: posting synthetic events, CGAssociateMouseAndMouseCursorPosition, the suppression interval.
// Deviations: without a display (GDK not opened by the program) nothing moves and the answer is
// kCGErrorCannotComplete; a point outside every monitor is clamped by the X server.
#pragma once

#include "CoreGraphics/CGDirectDisplay.h"
#include "CoreGraphics/CGGeometry.h"

constexpr CGError kCGErrorCannotComplete = 1004;

// Moves the pointer to `point`, global coordinates with the origin at the top-left of the main
// display (CGDisplayBounds' coordinates), without generating a click. Main thread only.
CGError CGWarpMouseCursorPosition(CGPoint point);
