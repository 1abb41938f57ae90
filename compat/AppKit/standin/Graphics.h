// Inside the AppKit stand-in: the drawing and screen classes (NSGraphicsContext, NSImage, NSScreen)
// and the pixels of an image for the pieces that show them (cursors, drag images).
#pragma once

#include <cairo.h>
#include <objc/runtime.h>

namespace qvcompat::appkit {

// The registered classes, each made on first use.
Class NSGraphicsContextClass();
Class NSImageClass();
Class NSScreenClass();

// Makes the three classes (AppKit's loader).
void loadGraphics();

// An image's pixels: a cairo ARGB32 surface (premultiplied) owned by the image; null for nil or an
// image without bitmap.
cairo_surface_t* imageSurface(id image);

}  // namespace qvcompat::appkit
