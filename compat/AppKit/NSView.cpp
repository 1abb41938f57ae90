#include "AppKit/standin/Dragging.h"
#include "AppKit/standin/Windowing.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

const NSNotificationName NSViewFrameDidChangeNotification =
    qvcompat::foundation::newString("NSViewFrameDidChangeNotification");
const NSNotificationName NSViewBoundsDidChangeNotification =
    qvcompat::foundation::newString("NSViewBoundsDidChangeNotification");

namespace qvcompat::appkit {

namespace {

const objc::Selector s_init{"init"};
const objc::Selector s_isFlipped{"isFlipped"};
const objc::Selector s_setFrameOrigin{"setFrameOrigin:"};
const objc::Selector s_setFrameSize{"setFrameSize:"};
const objc::Selector s_setFrame{"setFrame:"};
const objc::Selector s_drawRect{"drawRect:"};
const objc::Selector s_hitTest{"hitTest:"};
const objc::Selector s_setNeedsDisplayInRect{"setNeedsDisplayInRect:"};
const objc::Selector s_resizeSubviews{"resizeSubviewsWithOldSize:"};
const objc::Selector s_resizeWithOldSuperviewSize{"resizeWithOldSuperviewSize:"};
const objc::Selector s_performKeyEquivalent{"performKeyEquivalent:"};
const objc::Selector s_setNextResponder{"setNextResponder:"};
const objc::Selector s_viewDidMoveToWindow{"viewDidMoveToWindow"};
const objc::Selector s_defaultCenter{"defaultCenter"};
const objc::Selector s_postNotificationName{"postNotificationName:object:"};

struct tView {
    tView() = default;
    tView(const tView&) = delete;
    tView& operator=(const tView&) = delete;
    ~tView();

    id window = nil;           // not retained
    id superview = nil;        // not retained
    std::vector<id> subviews;  // retained
    NSRect frame{};
    NSPoint boundsOrigin{};
    bool hidden = false;
    NSAutoresizingMaskOptions autoresizingMask = NSViewNotSizable;
    bool autoresizesSubviews = true;
    std::vector<id> trackingAreas;  // retained
    bool needsDisplay = false;
    bool postsFrameChanges = true;
    bool postsBoundsChanges = true;
    id draggedTypes = nil;  // retained
    id inputContext = nil;  // retained, made on first use
};

using ViewState = foundation::InstanceState<tView>;

tView::~tView()
{
    for (id subview : subviews) {
        tView& sub = ViewState::of(subview);
        sub.superview = nil;
        setViewWindow(static_cast<NSView*>(subview), nullptr);
        objc_release(subview);
    }
    for (id area : trackingAreas)
        objc_release(area);
    objc_release(draggedTypes);
    objc_release(inputContext);
}

// A view's coordinates in window coordinates: x_w = x + ox, y_w = sy * y + oy.
struct tAffine {
    double ox = 0;
    double oy = 0;
    double sy = 1;
};

bool flipped(id view) { return objc::msgSend<BOOL>(view, s_isFlipped); }

tAffine toWindow(id view)
{
    const tView& state = ViewState::of(view);
    const bool parentFlipped = state.superview ? flipped(state.superview) : false;
    const tAffine parent = state.superview ? toWindow(state.superview) : tAffine{};
    const NSRect& f = state.frame;
    const NSPoint& b = state.boundsOrigin;
    tAffine mine;
    mine.ox = parent.ox + f.origin.x - b.x;
    if (flipped(view) == parentFlipped) {
        mine.sy = parent.sy;
        mine.oy = parent.sy * (f.origin.y - b.y) + parent.oy;
    } else {
        mine.sy = -parent.sy;
        mine.oy = parent.sy * (f.origin.y + f.size.height + b.y) + parent.oy;
    }
    return mine;
}

NSPoint apply(const tAffine& a, NSPoint p) { return NSPoint{p.x + a.ox, a.sy * p.y + a.oy}; }
NSPoint unapply(const tAffine& a, NSPoint p) { return NSPoint{p.x - a.ox, a.sy * (p.y - a.oy)}; }

NSRect normalised(NSPoint a, NSPoint b)
{
    return NSRect{{std::min(a.x, b.x), std::min(a.y, b.y)}, {std::fabs(a.x - b.x), std::fabs(a.y - b.y)}};
}

NSRect rectToWindow(id view, NSRect r)
{
    const tAffine a = toWindow(view);
    return normalised(apply(a, r.origin), apply(a, NSPoint{r.origin.x + r.size.width, r.origin.y + r.size.height}));
}

NSRect rectFromWindow(id view, NSRect r)
{
    const tAffine a = toWindow(view);
    return normalised(unapply(a, r.origin), unapply(a, NSPoint{r.origin.x + r.size.width, r.origin.y + r.size.height}));
}

NSRect boundsOf(const tView& state) { return NSRect{state.boundsOrigin, state.frame.size}; }

// A window rectangle as whole content pixels (top-left), covering it.
GdkRectangle contentPixels(NSRect r, double contentHeight)
{
    const double left = std::floor(r.origin.x);
    const double top = std::floor(contentHeight - (r.origin.y + r.size.height));
    const double right = std::ceil(r.origin.x + r.size.width);
    const double bottom = std::ceil(contentHeight - r.origin.y);
    return GdkRectangle{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                        static_cast<int>(bottom - top)};
}

void post(id self, NSNotificationName name)
{
    id center = objc::msgSend<id>(foundation::NSNotificationCenterClass(), s_defaultCenter);
    objc::msgSend<void, id, id>(center, s_postNotificationName, name, self);
}

void invalidateInWindow(id self, NSRect windowRect)
{
    id window = ViewState::of(self).window;
    if (!window || windowRect.size.width <= 0 || windowRect.size.height <= 0)
        return;
    invalidateWindowContent(static_cast<NSWindow*>(window),
                            contentPixels(windowRect, windowContentHeight(static_cast<NSWindow*>(window))));
}

void invalidateWhole(id self)
{
    const tView& state = ViewState::of(self);
    if (state.window)
        invalidateInWindow(self, rectToWindow(self, boundsOf(state)));
}

// ---- Methods ----

id initWithFrame(id self, SEL, NSRect frame)
{
    objc_super here{self, NSViewClass()};
    self = objc::msgSendSuper<id>(&here, s_init);
    if (self)
        ViewState::of(self).frame = frame;
    return self;
}

NSRect frame(id self, SEL) { return ViewState::of(self).frame; }
NSRect bounds(id self, SEL) { return boundsOf(ViewState::of(self)); }

void setFrameOrigin(id self, SEL, NSPoint origin)
{
    tView& state = ViewState::of(self);
    if (state.frame.origin.x == origin.x && state.frame.origin.y == origin.y)
        return;
    invalidateWhole(self);
    state.frame.origin = origin;
    invalidateWhole(self);
    if (state.postsFrameChanges)
        post(self, NSViewFrameDidChangeNotification);
}

void setFrameSize(id self, SEL, NSSize size)
{
    tView& state = ViewState::of(self);
    const NSSize old = state.frame.size;
    if (old.width == size.width && old.height == size.height)
        return;
    invalidateWhole(self);
    state.frame.size = size;
    if (state.autoresizesSubviews)
        objc::msgSend<void, NSSize>(self, s_resizeSubviews, old);
    invalidateWhole(self);
    if (state.postsFrameChanges)
        post(self, NSViewFrameDidChangeNotification);
}

void setFrame(id self, SEL, NSRect frame)
{
    objc::msgSend<void, NSPoint>(self, s_setFrameOrigin, frame.origin);
    objc::msgSend<void, NSSize>(self, s_setFrameSize, frame.size);
}

void setBoundsOrigin(id self, SEL, NSPoint origin)
{
    tView& state = ViewState::of(self);
    if (state.boundsOrigin.x == origin.x && state.boundsOrigin.y == origin.y)
        return;
    state.boundsOrigin = origin;
    invalidateWhole(self);
    if (state.postsBoundsChanges)
        post(self, NSViewBoundsDidChangeNotification);
}

void resizeSubviewsWithOldSize(id self, SEL, NSSize oldSize)
{
    const std::vector<id> subviews = ViewState::of(self).subviews;
    for (id subview : subviews)
        objc::msgSend<void, NSSize>(subview, s_resizeWithOldSuperviewSize, oldSize);
}

// Spreads a change of the superview's extent over the flexible parts (leading margin, size,
// trailing margin) in equal shares.
void stretch(double delta, bool minFlexible, bool sizeFlexible, bool maxFlexible, double& origin, double& size)
{
    const int parts = int(minFlexible) + int(sizeFlexible) + int(maxFlexible);
    if (parts == 0 || delta == 0)
        return;
    const double share = delta / parts;
    if (minFlexible)
        origin += share;
    if (sizeFlexible)
        size = std::max(0.0, size + share);
}

void resizeWithOldSuperviewSize(id self, SEL, NSSize oldSize)
{
    const tView& state = ViewState::of(self);
    if (!state.superview || state.autoresizingMask == NSViewNotSizable)
        return;
    const NSSize newSize = ViewState::of(state.superview).frame.size;
    const NSAutoresizingMaskOptions mask = state.autoresizingMask;
    NSRect f = state.frame;
    stretch(newSize.width - oldSize.width, mask & NSViewMinXMargin, mask & NSViewWidthSizable, mask & NSViewMaxXMargin,
            f.origin.x, f.size.width);
    stretch(newSize.height - oldSize.height, mask & NSViewMinYMargin, mask & NSViewHeightSizable,
            mask & NSViewMaxYMargin, f.origin.y, f.size.height);
    objc::msgSend<void, NSRect>(self, s_setFrame, f);
}

id superview(id self, SEL) { return ViewState::of(self).superview; }
id window(id self, SEL) { return ViewState::of(self).window; }
NSUInteger subviewCount(id self, SEL) { return ViewState::of(self).subviews.size(); }

void removeFromSuperview(id self, SEL)
{
    tView& state = ViewState::of(self);
    if (!state.superview)
        return;
    invalidateWhole(self);
    auto& siblings = ViewState::of(state.superview).subviews;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    state.superview = nil;
    objc::msgSend<void, id>(self, s_setNextResponder, nil);
    setViewWindow(static_cast<NSView*>(self), nullptr);
    objc_release(self);
}

void addSubview(id self, SEL, id subview)
{
    if (!subview || subview == self)
        return;
    objc_retain(subview);
    objc::msgSend<void>(subview, objc::sel("removeFromSuperview"));
    tView& state = ViewState::of(self);
    state.subviews.push_back(subview);
    ViewState::of(subview).superview = self;
    objc::msgSend<void, id>(subview, s_setNextResponder, self);
    setViewWindow(static_cast<NSView*>(subview), static_cast<NSWindow*>(state.window));
    invalidateWhole(subview);
}

BOOL isHidden(id self, SEL) { return ViewState::of(self).hidden; }
void setHidden(id self, SEL, BOOL hidden)
{
    tView& state = ViewState::of(self);
    if (state.hidden == bool(hidden))
        return;
    if (hidden)
        invalidateWhole(self);
    state.hidden = hidden;
    if (!hidden)
        invalidateWhole(self);
}

BOOL no(id, SEL) { return NO; }
BOOL yes(id, SEL) { return YES; }
BOOL noForEvent(id, SEL, id) { return NO; }
void nothing(id, SEL) {}
void nothingWithObject(id, SEL, id) {}
void drawRect(id, SEL, NSRect) {}

NSAutoresizingMaskOptions autoresizingMask(id self, SEL) { return ViewState::of(self).autoresizingMask; }
void setAutoresizingMask(id self, SEL, NSAutoresizingMaskOptions mask) { ViewState::of(self).autoresizingMask = mask; }
BOOL autoresizesSubviews(id self, SEL) { return ViewState::of(self).autoresizesSubviews; }
void setAutoresizesSubviews(id self, SEL, BOOL on) { ViewState::of(self).autoresizesSubviews = on; }

void setNeedsDisplay(id self, SEL, BOOL needed)
{
    if (needed)
        objc::msgSend<void, NSRect>(self, s_setNeedsDisplayInRect, boundsOf(ViewState::of(self)));
}

void setNeedsDisplayInRect(id self, SEL, NSRect rect)
{
    tView& state = ViewState::of(self);
    state.needsDisplay = true;
    if (state.window && !state.hidden)
        invalidateInWindow(self, rectToWindow(self, rect));
}

BOOL needsDisplay(id self, SEL) { return ViewState::of(self).needsDisplay; }

void displayIfNeeded(id self, SEL)
{
    if (id window = ViewState::of(self).window)
        objc::msgSend<void>(window, objc::sel("displayIfNeeded"));
}

void display(id self, SEL)
{
    setNeedsDisplay(self, nullptr, YES);
    displayIfNeeded(self, nullptr);
}

id hitTest(id self, SEL, NSPoint point)
{
    const tView& state = ViewState::of(self);
    if (state.hidden)
        return nil;
    const NSPoint inWindow = state.superview ? viewPointToWindow(static_cast<NSView*>(state.superview), point) : point;
    const NSPoint local = windowPointToView(static_cast<NSView*>(self), inWindow);
    const NSRect b = boundsOf(state);
    if (local.x < b.origin.x || local.y < b.origin.y || local.x >= b.origin.x + b.size.width ||
        local.y >= b.origin.y + b.size.height)
        return nil;
    const std::vector<id> subviews = state.subviews;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
        if (id hit = objc::msgSend<id, NSPoint>(*it, s_hitTest, local))
            return hit;
    return self;
}

NSPoint convertPointFromView(id self, SEL, NSPoint point, id view)
{
    const NSPoint inWindow = view ? viewPointToWindow(static_cast<NSView*>(view), point) : point;
    return windowPointToView(static_cast<NSView*>(self), inWindow);
}

NSPoint convertPointToView(id self, SEL, NSPoint point, id view)
{
    const NSPoint inWindow = viewPointToWindow(static_cast<NSView*>(self), point);
    return view ? windowPointToView(static_cast<NSView*>(view), inWindow) : inWindow;
}

NSRect convertRectFromView(id self, SEL, NSRect rect, id view)
{
    const NSRect inWindow = view ? rectToWindow(view, rect) : rect;
    return rectFromWindow(self, inWindow);
}

NSRect convertRectToView(id self, SEL, NSRect rect, id view)
{
    const NSRect inWindow = rectToWindow(self, rect);
    return view ? rectFromWindow(view, inWindow) : inWindow;
}

void addTrackingArea(id self, SEL, id area)
{
    if (!area)
        return;
    auto& areas = ViewState::of(self).trackingAreas;
    if (std::find(areas.begin(), areas.end(), area) == areas.end())
        areas.push_back(objc_retain(area));
}

void removeTrackingArea(id self, SEL, id area)
{
    auto& areas = ViewState::of(self).trackingAreas;
    auto found = std::find(areas.begin(), areas.end(), area);
    if (found == areas.end())
        return;
    areas.erase(found);
    objc_release(area);
}

NSUInteger trackingAreaCount(id self, SEL) { return ViewState::of(self).trackingAreas.size(); }

void setPostsFrameChangedNotifications(id self, SEL, BOOL on) { ViewState::of(self).postsFrameChanges = on; }
void setPostsBoundsChangedNotifications(id self, SEL, BOOL on) { ViewState::of(self).postsBoundsChanges = on; }

void registerForDraggedTypes(id self, SEL, id types)
{
    id& held = ViewState::of(self).draggedTypes;
    objc_retain(types);
    objc_release(std::exchange(held, types));
}

void unregisterDraggedTypes(id self, SEL) { objc_release(std::exchange(ViewState::of(self).draggedTypes, nil)); }

id inputContext(id self, SEL)
{
    id& context = ViewState::of(self).inputContext;
    if (!context)
        context = objc::msgSend<id, id>(objc::msgSend<id>(NSTextInputContextClass(), objc::sel("alloc")),
                                        objc::sel("initWithClient:"), self);
    return context;
}

// Offers the key to the subviews (a view answers for itself by overriding the method).
BOOL performKeyEquivalent(id self, SEL, id event)
{
    const std::vector<id> subviews = ViewState::of(self).subviews;
    for (id subview : subviews)
        if (!ViewState::of(subview).hidden && objc::msgSend<BOOL, id>(subview, s_performKeyEquivalent, event))
            return YES;
    return NO;
}

}  // namespace

Class NSViewClass()
{
    static const Class s_class =
        foundation::ClassDefinition("NSView", NSResponderClass())
            .state<tView>()
            .method("initWithFrame:", &initWithFrame, "@@:{CGRect={CGPoint=dd}{CGSize=dd}}")
            .method("frame", &frame, "{CGRect={CGPoint=dd}{CGSize=dd}}@:")
            .method("bounds", &bounds, "{CGRect={CGPoint=dd}{CGSize=dd}}@:")
            .method("setFrame:", &setFrame, "v@:{CGRect={CGPoint=dd}{CGSize=dd}}")
            .method("setFrameOrigin:", &setFrameOrigin, "v@:{CGPoint=dd}")
            .method("setFrameSize:", &setFrameSize, "v@:{CGSize=dd}")
            .method("setBoundsOrigin:", &setBoundsOrigin, "v@:{CGPoint=dd}")
            .method("resizeSubviewsWithOldSize:", &resizeSubviewsWithOldSize, "v@:{CGSize=dd}")
            .method("resizeWithOldSuperviewSize:", &resizeWithOldSuperviewSize, "v@:{CGSize=dd}")
            .method("superview", &superview, "@@:")
            .method("window", &window, "@@:")
            .method("subviewCount", &subviewCount, "Q@:")
            .method("addSubview:", &addSubview, "v@:@")
            .method("removeFromSuperview", &removeFromSuperview, "v@:")
            .method("isHidden", &isHidden, "B@:")
            .method("setHidden:", &setHidden, "v@:B")
            .method("isFlipped", &no, "B@:")
            .method("isOpaque", &no, "B@:")
            .method("wantsDefaultClipping", &yes, "B@:")
            .method("acceptsFirstMouse:", &noForEvent, "B@:@")
            .method("autoresizingMask", &autoresizingMask, "Q@:")
            .method("setAutoresizingMask:", &setAutoresizingMask, "v@:Q")
            .method("autoresizesSubviews", &autoresizesSubviews, "B@:")
            .method("setAutoresizesSubviews:", &setAutoresizesSubviews, "v@:B")
            .method("drawRect:", &drawRect, "v@:{CGRect={CGPoint=dd}{CGSize=dd}}")
            .method("setNeedsDisplay:", &setNeedsDisplay, "v@:B")
            .method("setNeedsDisplayInRect:", &setNeedsDisplayInRect, "v@:{CGRect={CGPoint=dd}{CGSize=dd}}")
            .method("needsDisplay", &needsDisplay, "B@:")
            .method("displayIfNeeded", &displayIfNeeded, "v@:")
            .method("display", &display, "v@:")
            .method("hitTest:", &hitTest, "@@:{CGPoint=dd}")
            .method("convertPoint:fromView:", &convertPointFromView, "{CGPoint=dd}@:{CGPoint=dd}@")
            .method("convertPoint:toView:", &convertPointToView, "{CGPoint=dd}@:{CGPoint=dd}@")
            .method("convertRect:fromView:", &convertRectFromView,
                    "{CGRect={CGPoint=dd}{CGSize=dd}}@:{CGRect={CGPoint=dd}{CGSize=dd}}@")
            .method("convertRect:toView:", &convertRectToView,
                    "{CGRect={CGPoint=dd}{CGSize=dd}}@:{CGRect={CGPoint=dd}{CGSize=dd}}@")
            .method("addTrackingArea:", &addTrackingArea, "v@:@")
            .method("removeTrackingArea:", &removeTrackingArea, "v@:@")
            .method("trackingAreaCount", &trackingAreaCount, "Q@:")
            .method("updateTrackingAreas", &nothing, "v@:")
            .method("setPostsFrameChangedNotifications:", &setPostsFrameChangedNotifications, "v@:B")
            .method("setPostsBoundsChangedNotifications:", &setPostsBoundsChangedNotifications, "v@:B")
            .method("registerForDraggedTypes:", &registerForDraggedTypes, "v@:@")
            .method("unregisterDraggedTypes", &unregisterDraggedTypes, "v@:")
            .method("dragImage:at:offset:event:pasteboard:source:slideBack:", &viewDragImage,
                    "v@:@{CGPoint=dd}{CGSize=dd}@@@B")
            .method("inputContext", &inputContext, "@@:")
            .method("performKeyEquivalent:", &performKeyEquivalent, "B@:@")
            .method("viewDidMoveToWindow", &nothing, "v@:")
            .method("viewWillMoveToWindow:", &nothingWithObject, "v@:@")
            .method("viewDidChangeBackingProperties", &nothing, "v@:")
            .registerClass();
    return s_class;
}

void setViewWindow(NSView* view, NSWindow* window)
{
    tView& state = ViewState::of(view);
    const bool moved = state.window != window;
    state.window = window;
    for (id subview : state.subviews)
        setViewWindow(static_cast<NSView*>(subview), window);
    if (moved)
        objc::msgSend<void>(view, s_viewDidMoveToWindow);
}

NSPoint viewPointToWindow(NSView* view, NSPoint point) { return apply(toWindow(view), point); }
NSPoint windowPointToView(NSView* view, NSPoint point) { return unapply(toWindow(view), point); }

namespace {

cairo_t* s_drawing = nullptr;  // main thread only

GdkRectangle intersect(const GdkRectangle& a, const GdkRectangle& b)
{
    GdkRectangle out{};
    if (!gdk_rectangle_intersect(&a, &b, &out))
        return GdkRectangle{};
    return out;
}

void drawView(id view, cairo_t* cr, const GdkRectangle& clip, double contentHeight, Class graphicsContext)
{
    tView& state = ViewState::of(view);
    if (state.hidden)
        return;
    const GdkRectangle area = intersect(clip, contentPixels(rectToWindow(view, boundsOf(state)), contentHeight));
    if (area.width <= 0 || area.height <= 0)
        return;

    const tAffine a = toWindow(view);
    cairo_save(cr);
    cairo_rectangle(cr, area.x, area.y, area.width, area.height);
    cairo_clip(cr);
    // View coordinates to the content's top-left pixels: X = x + ox, Y = H - (sy * y + oy).
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, 1, 0, 0, -a.sy, a.ox, contentHeight - a.oy);
    cairo_transform(cr, &matrix);
    const NSRect dirtyInWindow{{double(area.x), contentHeight - area.y - area.height},
                               {double(area.width), double(area.height)}};
    const NSRect dirty = rectFromWindow(view, dirtyInWindow);
    cairo_t* const outer = std::exchange(s_drawing, cr);
    if (graphicsContext) {
        id context = objc::msgSend<id, cairo_t*, BOOL>(
            graphicsContext, objc::sel("graphicsContextWithCGContext:flipped:"), cr, flipped(view));
        objc::msgSend<void>(graphicsContext, objc::sel("saveGraphicsState"));
        objc::msgSend<void, id>(graphicsContext, objc::sel("setCurrentContext:"), context);
        objc::msgSend<void, NSRect>(view, s_drawRect, dirty);
        objc::msgSend<void>(graphicsContext, objc::sel("restoreGraphicsState"));
    } else {
        objc::msgSend<void, NSRect>(view, s_drawRect, dirty);
    }
    s_drawing = outer;
    state.needsDisplay = false;
    cairo_restore(cr);

    const std::vector<id> subviews = state.subviews;
    for (id subview : subviews)
        drawView(subview, cr, area, contentHeight, graphicsContext);
}

}  // namespace

cairo_t* currentViewDrawing() { return s_drawing; }

void drawViewTree(NSView* root, cairo_t* cr, const GdkRectangle& dirty, double contentHeight)
{
    // The graphics context class is found by name: it is made elsewhere in the stand-in.
    const Class graphicsContext = objc_getClass("NSGraphicsContext");
    void* pool = objc_autoreleasePoolPush();
    drawView(root, cr, dirty, contentHeight, graphicsContext);
    objc_autoreleasePoolPop(pool);
}

void forEachVisibleView(NSView* root, void (*visit)(NSView* view, void* context), void* context)
{
    const tView& state = ViewState::of(root);
    if (state.hidden)
        return;
    visit(root, context);
    const std::vector<id> subviews = state.subviews;
    for (id subview : subviews)
        forEachVisibleView(static_cast<NSView*>(subview), visit, context);
}

id viewDraggedTypes(NSView* view) { return ViewState::of(view).draggedTypes; }

void viewTrackingAreas(NSView* view, id*& areas, size_t& count)
{
    auto& list = ViewState::of(view).trackingAreas;
    areas = list.data();
    count = list.size();
}

NSRect trackingAreaRectInView(id area, NSView* view)
{
    const NSTrackingAreaOptions options = objc::msgSend<NSTrackingAreaOptions>(area, objc::sel("options"));
    if (options & NSTrackingInVisibleRect)
        return boundsOf(ViewState::of(view));
    return objc::msgSend<NSRect>(area, objc::sel("rect"));
}

}  // namespace qvcompat::appkit
