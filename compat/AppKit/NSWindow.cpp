#include "AppKit/standin/Application.h"
#include "AppKit/standin/DelegateNotification.h"
#include "AppKit/standin/WindowState.h"

#include "AppKit/gtk/GtkMainThread.h"

#include <gdk/gdkx.h>

#include <Foundation/Bridge.h>

#include <algorithm>
#include <utility>

#define QV_NOTIFICATION_NAME(name) const NSNotificationName name = qvcompat::foundation::newString(#name)
QV_NOTIFICATION_NAME(NSWindowWillCloseNotification);
QV_NOTIFICATION_NAME(NSWindowDidBecomeKeyNotification);
QV_NOTIFICATION_NAME(NSWindowDidResignKeyNotification);
QV_NOTIFICATION_NAME(NSWindowDidBecomeMainNotification);
QV_NOTIFICATION_NAME(NSWindowDidResignMainNotification);
QV_NOTIFICATION_NAME(NSWindowDidMoveNotification);
QV_NOTIFICATION_NAME(NSWindowDidResizeNotification);
QV_NOTIFICATION_NAME(NSWindowDidMiniaturizeNotification);
QV_NOTIFICATION_NAME(NSWindowDidDeminiaturizeNotification);
#undef QV_NOTIFICATION_NAME

namespace qvcompat::appkit {

namespace {

const objc::Selector s_init{"init"};
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_initWithFrame{"initWithFrame:"};
const objc::Selector s_setFrameSize{"setFrameSize:"};
const objc::Selector s_setNextResponder{"setNextResponder:"};
const objc::Selector s_canBecomeKeyWindow{"canBecomeKeyWindow"};
const objc::Selector s_canBecomeMainWindow{"canBecomeMainWindow"};
const objc::Selector s_windowShouldClose{"windowShouldClose:"};
const objc::Selector s_windowWillResize{"windowWillResize:toSize:"};
const objc::Selector s_acceptsFirstResponder{"acceptsFirstResponder"};
const objc::Selector s_becomeFirstResponder{"becomeFirstResponder"};
const objc::Selector s_resignFirstResponder{"resignFirstResponder"};
const objc::Selector s_close{"close"};
const objc::Selector s_setFrameDisplay{"setFrame:display:"};

// The key and main windows of the process (not retained; cleared when they go).
id s_keyWindow = nil;
id s_mainWindow = nil;
NSInteger s_lastNumber = 0;

tWindow& state(id self) { return WindowState::of(self); }

void notify(id self, NSNotificationName name, const char* delegateSelector)
{
    notifyDelegateAndPost(self, state(self).delegate, name, delegateSelector);
}

void resignMain(id self)
{
    tWindow& window = state(self);
    if (!window.main)
        return;
    window.main = false;
    if (s_mainWindow == self)
        s_mainWindow = nil;
    notify(self, NSWindowDidResignMainNotification, "windowDidResignMain:");
}

void becomeMain(id self)
{
    tWindow& window = state(self);
    if (window.main || !objc::msgSend<BOOL>(self, s_canBecomeMainWindow))
        return;
    if (s_mainWindow && s_mainWindow != self)
        resignMain(s_mainWindow);
    window.main = true;
    s_mainWindow = self;
    notify(self, NSWindowDidBecomeMainNotification, "windowDidBecomeMain:");
}

// ---- Life ----

id initWithContentRect(id self, SEL, NSRect contentRect, NSWindowStyleMask style, NSBackingStoreType, BOOL)
{
    objc_super here{self, NSWindowClass()};
    self = objc::msgSendSuper<id>(&here, s_init);
    if (!self)
        return nil;
    tWindow& window = state(self);
    window.self = self;
    window.style = style;
    window.panel = objc::isKindOfClass(self, NSPanelClass());
    window.number = ++s_lastNumber;
    window.contentRect = contentRect;
    window.extents = knownExtents(style & NSWindowStyleMaskTitled);
    const NSRect viewFrame{{0, 0}, contentRect.size};
    window.contentView =
        objc::msgSend<id, NSRect>(objc::msgSend<id>(NSViewClass(), s_alloc), s_initWithFrame, viewFrame);
    objc::msgSend<void, NSUInteger>(window.contentView, objc::sel("setAutoresizingMask:"),
                                    NSViewWidthSizable | NSViewHeightSizable);
    objc::msgSend<void, id>(window.contentView, s_setNextResponder, self);
    setViewWindow(static_cast<NSView*>(window.contentView), static_cast<NSWindow*>(self));
    noteWindowMade(self);
    if (ensureGtk())
        createGtkWindow(window);
    return self;
}

void close(id self, SEL)
{
    tWindow& window = state(self);
    if (window.closed)
        return;
    objc_retain(self);
    window.closed = true;
    notify(self, NSWindowWillCloseNotification, "windowWillClose:");
    hideGtkWindow(state(self));
    state(self).visible = false;
    if (state(self).key)
        resignKey(self);
    resignMain(self);
    if (state(self).releasedWhenClosed)
        objc_release(self);
    objc_release(self);
}

void performClose(id self, SEL, id)
{
    id delegate = state(self).delegate;
    if (delegate && objc::respondsToSelector(delegate, s_windowShouldClose) &&
        !objc::msgSend<BOOL, id>(delegate, s_windowShouldClose, self))
        return;
    objc::msgSend<void>(self, s_close);
}

void setReleasedWhenClosed(id self, SEL, BOOL on) { state(self).releasedWhenClosed = on; }
BOOL isReleasedWhenClosed(id self, SEL) { return state(self).releasedWhenClosed; }

// ---- Content ----

id contentView(id self, SEL) { return state(self).contentView; }

void setContentView(id self, SEL, id view)
{
    tWindow& window = state(self);
    if (view == window.contentView)
        return;
    objc_retain(view);
    if (id old = std::exchange(window.contentView, view)) {
        setViewWindow(static_cast<NSView*>(old), nullptr);
        objc::msgSend<void, id>(old, s_setNextResponder, nil);
        objc_release(old);
    }
    if (view) {
        objc::msgSend<void>(view, objc::sel("removeFromSuperview"));
        objc::msgSend<void, id>(view, s_setNextResponder, self);
        objc::msgSend<void, NSSize>(view, s_setFrameSize, window.contentRect.size);
        setViewWindow(static_cast<NSView*>(view), static_cast<NSWindow*>(self));
        objc::msgSend<void, BOOL>(view, objc::sel("setNeedsDisplay:"), YES);
    }
}

id firstResponder(id self, SEL)
{
    id responder = state(self).firstResponder;
    return responder ? responder : self;
}

BOOL makeFirstResponder(id self, SEL, id responder)
{
    tWindow& window = state(self);
    if (responder == self)
        responder = nil;
    if (responder == window.firstResponder)
        return YES;
    if (responder && !objc::msgSend<BOOL>(responder, s_acceptsFirstResponder))
        return NO;
    if (window.firstResponder && !objc::msgSend<BOOL>(window.firstResponder, s_resignFirstResponder))
        return NO;
    window.firstResponder = nil;
    if (responder && !objc::msgSend<BOOL>(responder, s_becomeFirstResponder))
        return NO;
    state(self).firstResponder = responder;
    return YES;
}

id initialFirstResponder(id self, SEL) { return state(self).initialFirstResponder; }
void setInitialFirstResponder(id self, SEL, id view) { state(self).initialFirstResponder = view; }
id delegate(id self, SEL) { return state(self).delegate; }
void setDelegate(id self, SEL, id delegate)
{
    state(self).delegate = delegate;
    applyGtkTraits(state(self));  // the delegate's size limits
}

id title(id self, SEL) { return state(self).title; }
void setTitle(id self, SEL, id text)
{
    objc_retain(text);
    objc_release(std::exchange(state(self).title, static_cast<NSString*>(text)));
    applyGtkTitle(state(self));
}

BOOL isOpaque(id self, SEL) { return state(self).opaque; }
void setOpaque(id self, SEL, BOOL on)
{
    state(self).opaque = on;
    applyGtkTraits(state(self));
}

id backgroundColor(id self, SEL) { return state(self).backgroundColor; }
void setBackgroundColor(id self, SEL, id color)
{
    objc_retain(color);
    objc_release(std::exchange(state(self).backgroundColor, color));
    applyGtkTraits(state(self));
}

BOOL isDocumentEdited(id self, SEL) { return state(self).documentEdited; }
void setDocumentEdited(id self, SEL, BOOL on) { state(self).documentEdited = on; }

NSInteger windowNumber(id self, SEL)
{
    const tWindow& window = state(self);
    GdkWindow* native = window.gtk ? gtk_widget_get_window(window.gtk) : nullptr;
    return native ? static_cast<NSInteger>(gdk_x11_window_get_xid(native)) : window.number;
}

CGFloat backingScaleFactor(id, SEL) { return 1.0; }

// ---- Geometry ----

NSRect frame(id self, SEL)
{
    const tWindow& window = state(self);
    return frameRectForContentRect(window.contentRect, window.extents);
}

NSRect contentRectForFrameRectMethod(id self, SEL, NSRect frame)
{
    return contentRectForFrameRect(frame, state(self).extents);
}

NSRect frameRectForContentRectMethod(id self, SEL, NSRect content)
{
    return frameRectForContentRect(content, state(self).extents);
}

void setContentRect(id self, NSRect content)
{
    tWindow& window = state(self);
    const NSRect old = window.contentRect;
    if (old.origin.x == content.origin.x && old.origin.y == content.origin.y && old.size.width == content.size.width &&
        old.size.height == content.size.height)
        return;
    window.contentRect = content;
    applyGtkGeometry(window);
    if (old.size.width != content.size.width || old.size.height != content.size.height)
        noteResized(self, content);
    if (old.origin.x != content.origin.x || old.origin.y != content.origin.y)
        noteMoved(self, content);
}

void setFrameDisplay(id self, SEL, NSRect frame, BOOL)
{
    setContentRect(self, contentRectForFrameRect(frame, state(self).extents));
}

void setFrameOrigin(id self, SEL, NSPoint origin)
{
    NSRect f = frameRectForContentRect(state(self).contentRect, state(self).extents);
    f.origin = origin;
    objc::msgSend<void, NSRect, BOOL>(self, s_setFrameDisplay, f, YES);
}

void setFrameTopLeftPoint(id self, SEL, NSPoint topLeft)
{
    NSRect f = frameRectForContentRect(state(self).contentRect, state(self).extents);
    f.origin = NSPoint{topLeft.x, topLeft.y - f.size.height};
    objc::msgSend<void, NSRect, BOOL>(self, s_setFrameDisplay, f, YES);
}

void setContentSize(id self, SEL, NSSize size)
{
    NSRect content = state(self).contentRect;
    content.origin.y += content.size.height - size.height;  // the top edge stays
    content.size = size;
    setContentRect(self, content);
}

NSRect convertRectToScreen(id self, SEL, NSRect rect)
{
    const NSPoint base = state(self).contentRect.origin;
    return NSRect{{rect.origin.x + base.x, rect.origin.y + base.y}, rect.size};
}

NSRect convertRectFromScreen(id self, SEL, NSRect rect)
{
    const NSPoint base = state(self).contentRect.origin;
    return NSRect{{rect.origin.x - base.x, rect.origin.y - base.y}, rect.size};
}

NSPoint convertPointToScreen(id self, SEL, NSPoint point)
{
    return convertRectToScreen(self, nullptr, NSRect{point, {0, 0}}).origin;
}

NSPoint convertPointFromScreen(id self, SEL, NSPoint point)
{
    return convertRectFromScreen(self, nullptr, NSRect{point, {0, 0}}).origin;
}

NSPoint mouseLocationOutsideOfEventStream(id self, SEL)
{
    const NSPoint screen = objc::msgSend<NSPoint>(NSEventClass(), objc::sel("mouseLocation"));
    return convertPointFromScreen(self, nullptr, screen);
}

// ---- Style ----

NSWindowStyleMask styleMask(id self, SEL) { return state(self).style; }
void setStyleMask(id self, SEL, NSWindowStyleMask style)
{
    tWindow& window = state(self);
    const bool fullScreenChange = (window.style ^ style) & NSWindowStyleMaskFullScreen;
    window.style = style;
    window.extents = knownExtents(style & NSWindowStyleMaskTitled);
    applyGtkTraits(window);
    if (fullScreenChange)
        fullscreenGtkWindow(window, style & NSWindowStyleMaskFullScreen);
}

NSWindowLevel level(id self, SEL) { return state(self).level; }
void setLevel(id self, SEL, NSWindowLevel level)
{
    state(self).level = level;
    applyGtkTraits(state(self));
}

NSWindowCollectionBehavior collectionBehavior(id self, SEL) { return state(self).collectionBehavior; }
void setCollectionBehavior(id self, SEL, NSWindowCollectionBehavior behavior)
{
    state(self).collectionBehavior = behavior;
}

NSSize contentMinSize(id self, SEL) { return state(self).contentMinSize; }
void setContentMinSize(id self, SEL, NSSize size)
{
    state(self).contentMinSize = size;
    applyGtkTraits(state(self));
}
NSSize contentMaxSize(id self, SEL) { return state(self).contentMaxSize; }
void setContentMaxSize(id self, SEL, NSSize size)
{
    state(self).contentMaxSize = size;
    applyGtkTraits(state(self));
}

// ---- Ordering and state ----

void orderFront(id self, SEL, id)
{
    tWindow& window = state(self);
    window.closed = false;
    window.visible = true;
    showGtkWindow(window, false);
}

void orderOut(id self, SEL, id)
{
    state(self).visible = false;
    hideGtkWindow(state(self));
    if (state(self).key)
        resignKey(self);
}

void makeKeyWindow(id self, SEL)
{
    tWindow& window = state(self);
    if (!objc::msgSend<BOOL>(self, s_canBecomeKeyWindow))
        return;
    if (window.gtk)
        focusGtkWindow(window);  // key once the focus arrives
    else
        becomeKey(self);
}

void makeKeyAndOrderFront(id self, SEL, id sender)
{
    orderFront(self, nullptr, sender);
    makeKeyWindow(self, nullptr);
}

void makeMainWindow(id self, SEL) { becomeMain(self); }

BOOL isVisible(id self, SEL) { return state(self).visible && !state(self).miniaturized; }
BOOL isKeyWindow(id self, SEL) { return state(self).key; }
BOOL isMainWindow(id self, SEL) { return state(self).main; }
BOOL yes(id, SEL) { return YES; }

void miniaturize(id self, SEL, id)
{
    if (state(self).gtk)
        iconifyGtkWindow(state(self), true);
    else
        noteMiniaturized(self, true);
}

void deminiaturize(id self, SEL, id)
{
    if (state(self).gtk)
        iconifyGtkWindow(state(self), false);
    else
        noteMiniaturized(self, false);
}

BOOL isMiniaturized(id self, SEL) { return state(self).miniaturized; }

void zoom(id self, SEL, id)
{
    const bool zoomed = !state(self).zoomed;
    if (state(self).gtk)
        maximizeGtkWindow(state(self), zoomed);
    else
        noteZoomed(self, zoomed);
}

BOOL isZoomed(id self, SEL) { return state(self).zoomed; }

void toggleFullScreen(id self, SEL, id)
{
    const bool fullScreen = !(state(self).style & NSWindowStyleMaskFullScreen);
    if (state(self).gtk)
        fullscreenGtkWindow(state(self), fullScreen);
    noteFullScreen(self, fullScreen);
}

void displayIfNeeded(id self, SEL) { processGtkUpdates(state(self)); }

void display(id self, SEL)
{
    if (id view = state(self).contentView)
        objc::msgSend<void, BOOL>(view, objc::sel("setNeedsDisplay:"), YES);
    processGtkUpdates(state(self));
}

}  // namespace

tWindow::~tWindow()
{
    noteWindowGone(self);
    destroyGtkWindow(*this);
    if (s_keyWindow == self) {
        s_keyWindow = nil;
        noteKeyWindowChanged();
    }
    if (s_mainWindow == self)
        s_mainWindow = nil;
    for (id area : insideAreas)
        objc_release(area);
    objc_release(mouseDownView);
    if (contentView) {
        setViewWindow(static_cast<NSView*>(contentView), nullptr);
        objc_release(contentView);
    }
    objc_release(title);
    objc_release(backgroundColor);
}

void becomeKey(id self)
{
    tWindow& window = state(self);
    if (window.key || !objc::msgSend<BOOL>(self, s_canBecomeKeyWindow))
        return;
    if (s_keyWindow && s_keyWindow != self)
        resignKey(s_keyWindow);
    window.key = true;
    s_keyWindow = self;
    if (!window.firstResponder && window.initialFirstResponder)
        objc::msgSend<BOOL, id>(self, objc::sel("makeFirstResponder:"), window.initialFirstResponder);
    notify(self, NSWindowDidBecomeKeyNotification, "windowDidBecomeKey:");
    becomeMain(self);
    noteKeyWindowChanged();
}

void resignKey(id self)
{
    tWindow& window = state(self);
    if (!window.key)
        return;
    window.key = false;
    if (s_keyWindow == self)
        s_keyWindow = nil;
    notify(self, NSWindowDidResignKeyNotification, "windowDidResignKey:");
    noteKeyWindowChanged();
}

void noteMoved(id self, NSRect contentRect)
{
    state(self).contentRect.origin = contentRect.origin;
    notify(self, NSWindowDidMoveNotification, "windowDidMove:");
}

void noteResized(id self, NSRect contentRect)
{
    tWindow& window = state(self);
    window.contentRect.size = contentRect.size;
    objc::msgSend<void, NSSize>(window.contentView, s_setFrameSize, contentRect.size);
    notify(self, NSWindowDidResizeNotification, "windowDidResize:");
}

void noteMiniaturized(id self, bool miniaturized)
{
    if (state(self).miniaturized == miniaturized)
        return;
    state(self).miniaturized = miniaturized;
    if (!miniaturized)
        noteWindowRestored(self);
    notify(self, miniaturized ? NSWindowDidMiniaturizeNotification : NSWindowDidDeminiaturizeNotification,
           miniaturized ? "windowDidMiniaturize:" : "windowDidDeminiaturize:");
}

void noteZoomed(id self, bool zoomed) { state(self).zoomed = zoomed; }

void noteFullScreen(id self, bool fullScreen)
{
    tWindow& window = state(self);
    if (fullScreen)
        window.style |= NSWindowStyleMaskFullScreen;
    else
        window.style &= ~NSWindowStyleMaskFullScreen;
}

NSSize delegateResize(id self, NSSize proposed)
{
    id delegate = state(self).delegate;
    if (!delegate || !objc::respondsToSelector(delegate, s_windowWillResize))
        return proposed;
    return objc::msgSend<NSSize, id, NSSize>(delegate, s_windowWillResize, self, proposed);
}

namespace {

void addWindowMethods(foundation::ClassDefinition& d)
{
    constexpr const char* kRect = "{CGRect={CGPoint=dd}{CGSize=dd}}";
    const std::string rect = kRect;
    d.method("initWithContentRect:styleMask:backing:defer:", &initWithContentRect, ("@@:" + rect + "QQB").c_str())
        .method("close", &close, "v@:")
        .method("performClose:", &performClose, "v@:@")
        .method("setReleasedWhenClosed:", &setReleasedWhenClosed, "v@:B")
        .method("isReleasedWhenClosed", &isReleasedWhenClosed, "B@:")
        .method("contentView", &contentView, "@@:")
        .method("setContentView:", &setContentView, "v@:@")
        .method("firstResponder", &firstResponder, "@@:")
        .method("makeFirstResponder:", &makeFirstResponder, "B@:@")
        .method("initialFirstResponder", &initialFirstResponder, "@@:")
        .method("setInitialFirstResponder:", &setInitialFirstResponder, "v@:@")
        .method("delegate", &delegate, "@@:")
        .method("setDelegate:", &setDelegate, "v@:@")
        .method("title", &title, "@@:")
        .method("setTitle:", &setTitle, "v@:@")
        .method("isOpaque", &isOpaque, "B@:")
        .method("setOpaque:", &setOpaque, "v@:B")
        .method("backgroundColor", &backgroundColor, "@@:")
        .method("setBackgroundColor:", &setBackgroundColor, "v@:@")
        .method("isDocumentEdited", &isDocumentEdited, "B@:")
        .method("setDocumentEdited:", &setDocumentEdited, "v@:B")
        .method("windowNumber", &windowNumber, "q@:")
        .method("backingScaleFactor", &backingScaleFactor, "d@:")
        .method("frame", &frame, (rect + "@:").c_str())
        .method("contentRectForFrameRect:", &contentRectForFrameRectMethod, (rect + "@:" + rect).c_str())
        .method("frameRectForContentRect:", &frameRectForContentRectMethod, (rect + "@:" + rect).c_str())
        .method("setFrame:display:", &setFrameDisplay, ("v@:" + rect + "B").c_str())
        .method("setFrameOrigin:", &setFrameOrigin, "v@:{CGPoint=dd}")
        .method("setFrameTopLeftPoint:", &setFrameTopLeftPoint, "v@:{CGPoint=dd}")
        .method("setContentSize:", &setContentSize, "v@:{CGSize=dd}")
        .method("convertRectToScreen:", &convertRectToScreen, (rect + "@:" + rect).c_str())
        .method("convertRectFromScreen:", &convertRectFromScreen, (rect + "@:" + rect).c_str())
        .method("convertPointToScreen:", &convertPointToScreen, "{CGPoint=dd}@:{CGPoint=dd}")
        .method("convertPointFromScreen:", &convertPointFromScreen, "{CGPoint=dd}@:{CGPoint=dd}")
        .method("mouseLocationOutsideOfEventStream", &mouseLocationOutsideOfEventStream, "{CGPoint=dd}@:")
        .method("styleMask", &styleMask, "Q@:")
        .method("setStyleMask:", &setStyleMask, "v@:Q")
        .method("level", &level, "q@:")
        .method("setLevel:", &setLevel, "v@:q")
        .method("collectionBehavior", &collectionBehavior, "Q@:")
        .method("setCollectionBehavior:", &setCollectionBehavior, "v@:Q")
        .method("contentMinSize", &contentMinSize, "{CGSize=dd}@:")
        .method("setContentMinSize:", &setContentMinSize, "v@:{CGSize=dd}")
        .method("contentMaxSize", &contentMaxSize, "{CGSize=dd}@:")
        .method("setContentMaxSize:", &setContentMaxSize, "v@:{CGSize=dd}")
        .method("orderFront:", &orderFront, "v@:@")
        .method("orderOut:", &orderOut, "v@:@")
        .method("makeKeyWindow", &makeKeyWindow, "v@:")
        .method("makeKeyAndOrderFront:", &makeKeyAndOrderFront, "v@:@")
        .method("makeMainWindow", &makeMainWindow, "v@:")
        .method("isVisible", &isVisible, "B@:")
        .method("isKeyWindow", &isKeyWindow, "B@:")
        .method("isMainWindow", &isMainWindow, "B@:")
        .method("canBecomeKeyWindow", &yes, "B@:")
        .method("canBecomeMainWindow", &yes, "B@:")
        .method("miniaturize:", &miniaturize, "v@:@")
        .method("performMiniaturize:", &miniaturize, "v@:@")
        .method("deminiaturize:", &deminiaturize, "v@:@")
        .method("isMiniaturized", &isMiniaturized, "B@:")
        .method("zoom:", &zoom, "v@:@")
        .method("performZoom:", &zoom, "v@:@")
        .method("isZoomed", &isZoomed, "B@:")
        .method("toggleFullScreen:", &toggleFullScreen, "v@:@")
        .method("displayIfNeeded", &displayIfNeeded, "v@:")
        .method("display", &display, "v@:");
}

}  // namespace

void addWindowEventMethods(foundation::ClassDefinition& definition);  // WindowEvents.cpp

Class NSWindowClass()
{
    static const Class s_class = [] {
        foundation::ClassDefinition definition("NSWindow", NSResponderClass());
        definition.state<tWindow>();
        addWindowMethods(definition);
        addWindowEventMethods(definition);
        return definition.registerClass();
    }();
    return s_class;
}

void loadWindowing()
{
    NSEventClass();
    NSResponderClass();
    NSViewClass();
    NSWindowClass();
    NSPanelClass();
    NSTrackingAreaClass();
    NSTextInputContextClass();
    NSColorClass();
}

}  // namespace qvcompat::appkit
