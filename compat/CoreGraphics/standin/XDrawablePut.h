// Inside the CoreGraphics stand-in: opaque images put straight into the X drawable a context draws
// into, without cairo's staging copy.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>

namespace qvcompat::coregraphics {

// Puts an opaque image (`width` x `height` pixels from `pixels`, `bytesPerRow` apart, in cairo's
// RGB24 layout) into the X drawable behind `context` as the context would fill it, when its user
// space is the image's pixel grid moved by whole device pixels and only clip rectangles of whole
// pixels limit the draw: each visible rectangle goes to the X server as one image request from the
// image's own bytes. cairo would first copy the whole picture into a shared-memory segment of its
// own, whose pages are written for the first time at a window's first frame.
// False, with nothing drawn, for any other context: one drawing into memory or a group, a scaled or
// turned user space, a clip of other shapes, an operator that blends, a drawable that is not a
// 24-bit true-colour one with red, green and blue where cairo's RGB24 has them.
bool putOpaqueImage(cairo_t* context, const uint8_t* pixels, int width, int height, size_t bytesPerRow);

// How many images putOpaqueImage has put since the process started (any thread): for the tests
// that check which way a draw went.
uint64_t putOpaqueImageCount();

}  // namespace qvcompat::coregraphics
