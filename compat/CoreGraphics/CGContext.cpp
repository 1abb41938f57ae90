#include "CoreGraphics/CGContext.h"

#include "CoreGraphics/standin/ImageSurface.h"

#include <cairo.h>

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
    cairo_surface_t* surface = qvcompat::coregraphics::createImageSurface(image);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    const double width = static_cast<double>(CGImageGetWidth(image));
    const double height = static_cast<double>(CGImageGetHeight(image));
    cairo_save(context);
    // The image's first row at the rectangle's maximum y.
    cairo_translate(context, rect.origin.x, rect.origin.y + rect.size.height);
    cairo_scale(context, rect.size.width / width, -rect.size.height / height);
    cairo_set_source_surface(context, surface, 0, 0);
    cairo_filter_t filter = CAIRO_FILTER_GOOD;
    switch (CGContextGetInterpolationQuality(context)) {
    case kCGInterpolationNone: filter = CAIRO_FILTER_NEAREST; break;
    case kCGInterpolationLow: filter = CAIRO_FILTER_FAST; break;
    case kCGInterpolationHigh: filter = CAIRO_FILTER_BEST; break;
    default: break;
    }
    cairo_pattern_set_filter(cairo_get_source(context), filter);
    // Edge pixels are not blended with transparency outside the image.
    cairo_pattern_set_extend(cairo_get_source(context), CAIRO_EXTEND_PAD);
    cairo_rectangle(context, 0, 0, width, height);
    cairo_fill(context);
    cairo_restore(context);
    cairo_surface_destroy(surface);
}
