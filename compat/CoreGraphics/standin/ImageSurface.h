// Inside the CoreGraphics stand-in and for the stand-in pieces that draw its images (AppKit's
// NSImage): images as cairo surfaces.
#pragma once

#include "CoreGraphics/CGImage.h"

#include <cairo.h>

namespace qvcompat::coregraphics {

// The provider's bytes and their number.
const void* providerBytes(CGDataProviderRef provider, size_t& size);

// A new cairo ARGB32 surface (premultiplied, native byte order) with the image's pixels: straight
// alpha is multiplied in (rounded to nearest), skipped alpha becomes opaque. Null for null.
cairo_surface_t* createImageSurface(CGImageRef image);

}  // namespace qvcompat::coregraphics
