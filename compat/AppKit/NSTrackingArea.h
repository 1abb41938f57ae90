// AppKit stand-in: NSTrackingArea, a rectangle of a view whose entering, leaving, moves and cursor
// updates are reported to its owner.
//
// Implements: -initWithRect:options:owner:userInfo:, -rect, -options, -owner, -userInfo.
// With NSTrackingInVisibleRect the area follows the view's visible rectangle. The owner is not
// retained. The window reports -mouseEntered:, -mouseExited:, -mouseMoved: and -cursorUpdate: to
// the owner as the pointer moves (NSWindow.h).
// Lacks: the active-when options are not told apart (every area is active while its window shows).
// Deviations: none known besides that.
#pragma once

#include "AppKit/NSEvent.h"

typedef NSUInteger NSTrackingAreaOptions;
enum : NSTrackingAreaOptions {
    NSTrackingMouseEnteredAndExited = 0x01,
    NSTrackingMouseMoved = 0x02,
    NSTrackingCursorUpdate = 0x04,
    NSTrackingActiveWhenFirstResponder = 0x10,
    NSTrackingActiveInKeyWindow = 0x20,
    NSTrackingActiveInActiveApp = 0x40,
    NSTrackingActiveAlways = 0x80,
    NSTrackingAssumeInside = 0x100,
    NSTrackingInVisibleRect = 0x200,
    NSTrackingEnabledDuringMouseDrag = 0x400,
};

struct NSTrackingArea : NSObject {};
