// CoreGraphics stand-in: drawing contexts. A context is a cairo context: the graphics port that the
// stand-in's NSGraphicsContext hands out is the cairo_t that GTK draws with (or one over an image's
// surface), and these functions draw with cairo.
//
// Implements: saving and restoring the graphics state (cairo's state plus the interpolation quality
// and colour spaces kept beside it), translating and scaling the transformation, anti-aliasing on
// or off, the interpolation quality (none draws image pixels as blocks), fill and stroke colour
// spaces (kept, all RGB), the line width, the blend modes normal (source over) and copy, drawing an
// image into a rectangle.
// Lacks: paths, colours, text, clipping, shadows, every other blend mode (they draw as normal).
// Deviations: the user space is the cairo context's as the caller set it up; the platform's
// bottom-left origin belongs to whoever made the context (NSGraphicsContext for a view that is not
// flipped, NSImage's lockFocus). As on the platform, an image is drawn with its first row at the
// rectangle's maximum y, which is the top in a y-up space.
#pragma once

#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGImage.h"

// cairo_t: the context and the cairo context are one object.
typedef struct _cairo* CGContextRef;

typedef int32_t CGInterpolationQuality;
enum : CGInterpolationQuality {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationMedium = 4,
    kCGInterpolationHigh = 3,
};

typedef int32_t CGBlendMode;
enum : CGBlendMode {
    kCGBlendModeNormal = 0,
    kCGBlendModeCopy = 17,
};

// Every function does nothing for a null context.
void CGContextSaveGState(CGContextRef context);
// Nothing without a saved state.
void CGContextRestoreGState(CGContextRef context);
void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy);
void CGContextSetShouldAntialias(CGContextRef context, bool shouldAntialias);
void CGContextSetInterpolationQuality(CGContextRef context, CGInterpolationQuality quality);
CGInterpolationQuality CGContextGetInterpolationQuality(CGContextRef context);
void CGContextSetFillColorSpace(CGContextRef context, CGColorSpaceRef space);
void CGContextSetStrokeColorSpace(CGContextRef context, CGColorSpaceRef space);
void CGContextSetLineWidth(CGContextRef context, CGFloat width);
void CGContextSetBlendMode(CGContextRef context, CGBlendMode mode);
// Draws the image scaled into rect; nothing for a null image or an empty rectangle.
void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image);
