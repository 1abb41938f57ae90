// Inside the CoreGraphics stand-in and for the stand-in pieces that draw its images (AppKit's
// NSImage): images as cairo surfaces.
#pragma once

#include "CoreGraphics/CGImage.h"

#include <cairo.h>

#include <cstdint>

namespace qvcompat::coregraphics {

// The provider's bytes and their number.
const void* providerBytes(CGDataProviderRef provider, size_t& size);

// A new cairo surface with the image's pixels from column `left` and row `top` (row 0 is the first
// in memory), `width` by `height` of them: the surface's pixel (0, 0) is the image's (left, top).
// Opaque pixels already in cairo's layout (the unused byte first, in the processor's byte order)
// are shown where they are, as RGB24: the surface keeps the image, and the caller finishes the
// surface (cairo_surface_finish) before the provider's bytes change. Others are converted into an
// ARGB32 copy (premultiplied): straight alpha multiplied in (rounded to nearest), skipped alpha
// made opaque. Null for null or a rectangle that is empty or not wholly inside the image.
cairo_surface_t* createImageSurface(CGImageRef image, int left, int top, int width, int height);

// The image's first pixel when its pixels are opaque and already in cairo's RGB24 layout (as
// createImageSurface shows them where they are), else null.
const uint8_t* cairoLayoutPixels(CGImageRef image);

// How many image pixels createImageSurface has converted since the process started (any thread):
// what drawing images has cost, for the tests that check a small draw converts a small part.
uint64_t convertedPixelCount();

}  // namespace qvcompat::coregraphics
