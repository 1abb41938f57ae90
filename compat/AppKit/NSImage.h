// AppKit stand-in: NSImage as one bitmap that is drawn into through focus.
//
// Implements: -initWithSize: (a transparent bitmap of the size in units, one pixel per unit, rounded
// up), -size, -lockFocus (the current graphics context draws into the bitmap, with the platform's
// bottom-left origin), -unlockFocus (the previous context is current again).
// Lacks: image files, representations, drawing the image into another context (cursors and drag
// images take its pixels, standin/Graphics.h), resolution-dependent copies.
// Deviations: a size of zero or less in either direction gives an image without bitmap (its focus
// draws nowhere).
#pragma once

#include <Foundation/Foundation.h>
#include <Foundation/NSGeometry.h>

struct NSImage : NSObject {};
