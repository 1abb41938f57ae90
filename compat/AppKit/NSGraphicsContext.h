// AppKit stand-in: NSGraphicsContext, a drawing destination whose graphics port is a cairo context
// (CoreGraphics' CGContextRef is the cairo_t; CoreGraphics/CGContext.h).
//
// Implements: +graphicsContextWithCGContext:flipped:, +currentContext and +setCurrentContext: (per
// thread), +saveGraphicsState and +restoreGraphicsState (the current context and its cairo state),
// -graphicsPort, -CGContext, -isFlipped.
// Lacks: contexts for windows, bitmaps and printing made by AppKit itself (views and images make
// theirs over GTK's or their own cairo context), compositing and rendering properties.
// Deviations: the context keeps a reference to its cairo context while it lives.
#pragma once

#include <CoreGraphics/CGContext.h>
#include <Foundation/Foundation.h>

struct NSGraphicsContext : NSObject {};
