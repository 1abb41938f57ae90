#include "AppKit/NSImage.h"

#include "AppKit/standin/Graphics.h"

#include <CoreGraphics/CGContext.h>
#include <Foundation/ClassDefinition.h>

#include <cmath>
#include <utility>

namespace qvcompat::appkit {

namespace {

struct tImage {
    tImage() = default;
    tImage(const tImage&) = delete;
    tImage& operator=(const tImage&) = delete;
    ~tImage()
    {
        objc_release(previousContext);
        if (surface)
            cairo_surface_destroy(surface);
    }
    NSSize size{0, 0};
    cairo_surface_t* surface = nullptr;
    bool focused = false;
    id previousContext = nil;  // retained while focused
};

using ImageState = foundation::InstanceState<tImage>;
const objc::Selector s_init{"init"};
const objc::Selector s_currentContext{"currentContext"};
const objc::Selector s_setCurrentContext{"setCurrentContext:"};
const objc::Selector s_contextWithCG{"graphicsContextWithCGContext:flipped:"};

id initWithSize(id self, SEL, NSSize size)
{
    // The designated initializer of the state is -init, which this class binds itself.
    objc_super here{self, NSImageClass()};
    self = objc::msgSendSuper<id>(&here, s_init);
    if (!self)
        return nil;
    tImage& state = ImageState::of(self);
    state.size = size;
    constexpr double kMaxSide = 1 << 15;
    if (size.width > 0 && size.height > 0 && size.width <= kMaxSide && size.height <= kMaxSide) {
        state.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(size.width)),
                                                   static_cast<int>(std::ceil(size.height)));
        if (cairo_surface_status(state.surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(state.surface);
            state.surface = nullptr;
        }
    }
    return self;
}

NSSize size(id self, SEL) { return ImageState::of(self).size; }

void lockFocus(id self, SEL)
{
    tImage& state = ImageState::of(self);
    if (state.focused)
        return;
    Class contextClass = NSGraphicsContextClass();
    state.previousContext = objc_retain(objc::msgSend<id>(contextClass, s_currentContext));
    state.focused = true;
    // The context is autoreleased; the current-context slot keeps it, so the pool may go at once.
    void* pool = objc_autoreleasePoolPush();
    id context = nil;
    if (state.surface) {
        cairo_t* cairo = cairo_create(state.surface);
        // The platform's image coordinates: origin at the bottom-left, y upwards.
        cairo_translate(cairo, 0, cairo_image_surface_get_height(state.surface));
        cairo_scale(cairo, 1, -1);
        context = objc::msgSend<id, CGContextRef, BOOL>(contextClass, s_contextWithCG, cairo, NO);
        cairo_destroy(cairo);
    }
    objc::msgSend<void, id>(contextClass, s_setCurrentContext, context);
    objc_autoreleasePoolPop(pool);
}

void unlockFocus(id self, SEL)
{
    tImage& state = ImageState::of(self);
    if (!state.focused)
        return;
    state.focused = false;
    id previous = std::exchange(state.previousContext, nil);
    objc::msgSend<void, id>(NSGraphicsContextClass(), s_setCurrentContext, previous);
    objc_release(previous);
    if (state.surface)
        cairo_surface_flush(state.surface);
}

}  // namespace

Class NSImageClass()
{
    static const Class s_class = foundation::ClassDefinition("NSImage", foundation::NSObjectClass())
                                     .state<tImage>()
                                     .method("initWithSize:", &initWithSize, "@@:{CGSize=dd}")
                                     .method("size", &size, "{CGSize=dd}@:")
                                     .method("lockFocus", &lockFocus, "v@:")
                                     .method("unlockFocus", &unlockFocus, "v@:")
                                     .registerClass();
    return s_class;
}

cairo_surface_t* imageSurface(id image)
{
    tImage* state = ImageState::find(image);
    return state ? state->surface : nullptr;
}

}  // namespace qvcompat::appkit
