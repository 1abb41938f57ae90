#include "CoreGraphics/CGContext.h"

#include "CoreGraphics/standin/ImageSurface.h"
#include "CoreGraphics/standin/XDrawablePut.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// What a CG graphics state holds beyond cairo's own: kept with the cairo context as user data, with
// one entry per saved state.
struct tExtraState {
    CGInterpolationQuality interpolation = kCGInterpolationDefault;
    CGColorSpaceRef fillSpace = nullptr;
    CGColorSpaceRef strokeSpace = nullptr;
};

struct tExtraStates {
    std::vector<tExtraState> stack{tExtraState{}};  // the current state last
    ~tExtraStates()
    {
        for (const tExtraState& state : stack) {
            CGColorSpaceRelease(state.fillSpace);
            CGColorSpaceRelease(state.strokeSpace);
        }
    }
};

const cairo_user_data_key_t s_extraKey{};

tExtraStates& extra(CGContextRef context)
{
    auto states = static_cast<tExtraStates*>(cairo_get_user_data(context, &s_extraKey));
    if (!states) {
        states = new tExtraStates;
        cairo_set_user_data(context, &s_extraKey, states, [](void* data) { delete static_cast<tExtraStates*>(data); });
    }
    return *states;
}

void replace(CGColorSpaceRef& slot, CGColorSpaceRef space)
{
    CGColorSpaceRetain(space);
    CGColorSpaceRelease(slot);
    slot = space;
}

// The pixels of an image drawn unfiltered, whose grid is the context's user space, that can reach
// the clip: its bounding box and one pixel around it for rounding, within [0, right) x [0, bottom)
// as passed in. Only these are read for a draw, so a small dirty rectangle costs in proportion to
// its area and not to the image's. (A smoothing filter is left the whole image: pixman's sampling
// of a part placed elsewhere differs from the whole's in the last bit.)
void visiblePart(CGContextRef context, int& left, int& top, int& right, int& bottom)
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(context, &x1, &y1, &x2, &y2);
    // NaN or unbounded extents leave the image's own limits.
    const auto floorWithin = [](double v, int limit) { return v > 0 ? (v < limit ? int(std::floor(v)) : limit) : 0; };
    const auto ceilWithin = [](double v, int limit) { return v < limit ? (v > 0 ? int(std::ceil(v)) : 0) : limit; };
    const int width = right;
    const int height = bottom;
    left = std::max(0, floorWithin(x1, width) - 1);
    top = std::max(0, floorWithin(y1, height) - 1);
    right = std::min(width, ceilWithin(x2, width) + 1);
    bottom = std::min(height, ceilWithin(y2, height) + 1);
}

}  // namespace

void CGContextSaveGState(CGContextRef context)
{
    if (!context)
        return;
    cairo_save(context);
    tExtraStates& states = extra(context);
    tExtraState copy = states.stack.back();
    CGColorSpaceRetain(copy.fillSpace);
    CGColorSpaceRetain(copy.strokeSpace);
    states.stack.push_back(copy);
}

void CGContextRestoreGState(CGContextRef context)
{
    if (!context)
        return;
    tExtraStates& states = extra(context);
    if (states.stack.size() < 2)
        return;
    CGColorSpaceRelease(states.stack.back().fillSpace);
    CGColorSpaceRelease(states.stack.back().strokeSpace);
    states.stack.pop_back();
    cairo_restore(context);
}

void CGContextTranslateCTM(CGContextRef context, CGFloat tx, CGFloat ty)
{
    if (context)
        cairo_translate(context, tx, ty);
}

void CGContextScaleCTM(CGContextRef context, CGFloat sx, CGFloat sy)
{
    // A zero scale would make cairo's matrix singular and put the context into an error state.
    if (context && sx != 0 && sy != 0)
        cairo_scale(context, sx, sy);
}

void CGContextSetShouldAntialias(CGContextRef context, bool shouldAntialias)
{
    if (context)
        cairo_set_antialias(context, shouldAntialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CGContextSetInterpolationQuality(CGContextRef context, CGInterpolationQuality quality)
{
    if (context)
        extra(context).stack.back().interpolation = quality;
}

CGInterpolationQuality CGContextGetInterpolationQuality(CGContextRef context)
{
    return context ? extra(context).stack.back().interpolation : kCGInterpolationDefault;
}

void CGContextSetFillColorSpace(CGContextRef context, CGColorSpaceRef space)
{
    if (context)
        replace(extra(context).stack.back().fillSpace, space);
}

void CGContextSetStrokeColorSpace(CGContextRef context, CGColorSpaceRef space)
{
    if (context)
        replace(extra(context).stack.back().strokeSpace, space);
}

void CGContextSetLineWidth(CGContextRef context, CGFloat width)
{
    if (context && width >= 0)
        cairo_set_line_width(context, width);
}

void CGContextSetBlendMode(CGContextRef context, CGBlendMode mode)
{
    if (context)
        cairo_set_operator(context, mode == kCGBlendModeCopy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
}

void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image)
{
    if (!context || !image || !(rect.size.width > 0) || !(rect.size.height > 0))
        return;
    const int width = static_cast<int>(CGImageGetWidth(image));
    const int height = static_cast<int>(CGImageGetHeight(image));
    cairo_save(context);
    // The image's first row at the rectangle's maximum y: from here on, user space is the image's
    // pixel grid with its first row at y 0.
    cairo_translate(context, rect.origin.x, rect.origin.y + rect.size.height);
    cairo_scale(context, rect.size.width / width, -rect.size.height / height);
    // A window's picture shown 1:1: straight into its X drawable, when nothing but clipping lies
    // between (no filter changes pixels on a grid moved by whole pixels).
    if (const uint8_t* opaque = qvcompat::coregraphics::cairoLayoutPixels(image);
        opaque &&
        qvcompat::coregraphics::putOpaqueImage(context, opaque, width, height, CGImageGetBytesPerRow(image))) {
        cairo_restore(context);
        return;
    }
    cairo_filter_t filter = CAIRO_FILTER_GOOD;
    switch (CGContextGetInterpolationQuality(context)) {
    case kCGInterpolationNone: filter = CAIRO_FILTER_NEAREST; break;
    case kCGInterpolationLow: filter = CAIRO_FILTER_FAST; break;
    case kCGInterpolationHigh: filter = CAIRO_FILTER_BEST; break;
    default: break;
    }
    int left = 0, top = 0, right = width, bottom = height;
    if (filter == CAIRO_FILTER_NEAREST)
        visiblePart(context, left, top, right, bottom);
    if (left < right && top < bottom) {
        cairo_surface_t* surface =
            qvcompat::coregraphics::createImageSurface(image, left, top, right - left, bottom - top);
        if (surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
            // Placed through the surface's device offset rather than the pattern's origin, so that the
            // pattern's matrix and with it the filter's sampling are a whole draw's.
            cairo_surface_set_device_offset(surface, -left, -top);
            cairo_set_source_surface(context, surface, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(context), filter);
            // Edge pixels are not blended with transparency outside the image.
            cairo_pattern_set_extend(cairo_get_source(context), CAIRO_EXTEND_PAD);
            cairo_rectangle(context, 0, 0, width, height);
            cairo_fill(context);
        }
        // A surface over the image's own bytes lets go of them now: a target that recorded the draw
        // keeps a copy.
        if (surface) {
            cairo_surface_finish(surface);
            cairo_surface_destroy(surface);
        }
    }
    cairo_restore(context);
}
