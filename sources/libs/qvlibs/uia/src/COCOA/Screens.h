// The first screen as the window back end measures against it.
#pragma once

#include <CoreGraphics/CGGeometry.h>

namespace QV::UIA::COCOA {

// The first screen's top edge in AppKit's screen coordinates (its origin y plus its height, in
// single precision): the line that AppKit's and the system's vertical coordinates are mirrored
// about. 0 when there is no screen.
CGFloat firstScreenTopEdge();

}  // namespace QV::UIA::COCOA
