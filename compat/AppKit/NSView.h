// AppKit stand-in: NSView, a rectangle of a window that draws and receives events.
//
// A window's content is one GtkDrawingArea; the views are the stand-in's own tree inside it (AppKit
// views are not native widgets). Drawing: GTK's draw signal paints the dirty area, each view that
// meets it receives -drawRect: (in its own coordinates) with the current NSGraphicsContext's graphics
// port being the draw signal's cairo_t, transformed and clipped to the view.
//
// Implements: -initWithFrame:, -frame, -setFrame:, -setFrameOrigin:, -setFrameSize:, -bounds,
// -setBoundsOrigin: (no scaling), -superview, -subviews count through -subviewCount, -window,
// -addSubview:, -removeFromSuperview, -isHidden, -setHidden:, -isFlipped (NO), -isOpaque (NO),
// -autoresizingMask, -setAutoresizingMask:, -setAutoresizesSubviews:, -resizeSubviewsWithOldSize:,
// -drawRect: (nothing), -setNeedsDisplay:, -setNeedsDisplayInRect: (a redraw of that area only,
// queued), -needsDisplay, -displayIfNeeded, -display, -hitTest:, -convertPoint:fromView:,
// -convertPoint:toView:, -convertRect:fromView:, -convertRect:toView:, -addTrackingArea:,
// -removeTrackingArea:, -trackingAreas count through -trackingAreaCount, -updateTrackingAreas,
// -setPostsFrameChangedNotifications:, -setPostsBoundsChangedNotifications: (both YES at start:
// NSViewFrameDidChangeNotification and NSViewBoundsDidChangeNotification through the default
// centre), -registerForDraggedTypes: (drags offering those types reach the view, NSDragging.h),
// -unregisterDraggedTypes, -dragImage:at:offset:event:pasteboard:source:slideBack: (NSDragging.h), -inputContext (the window's
// NSTextInputContext), -acceptsFirstMouse: (NO), -wantsDefaultClipping (YES),
// -viewDidMoveToWindow, -viewWillMoveToWindow:, -viewDidChangeBackingProperties (never sent: the
// backing scale stays 1).
// Lacks: layers, bounds scaling and rotation, -scrollRect:by:, tool tips, cursor rectangles,
// printing, -lockFocus.
// Deviations: a view draws only inside a window (no off-screen views); the backing scale is 1.
#pragma once

#include "AppKit/NSResponder.h"

typedef NSUInteger NSAutoresizingMaskOptions;
enum : NSAutoresizingMaskOptions {
    NSViewNotSizable = 0,
    NSViewMinXMargin = 1,
    NSViewWidthSizable = 2,
    NSViewMaxXMargin = 4,
    NSViewMinYMargin = 8,
    NSViewHeightSizable = 16,
    NSViewMaxYMargin = 32,
};

extern const NSNotificationName NSViewFrameDidChangeNotification;
extern const NSNotificationName NSViewBoundsDidChangeNotification;

struct NSView : NSResponder {};
