// AppKit stand-in: NSEvent, the window system's input events, made from GDK's events.
//
// Implements: -type, -modifierFlags, -timestamp, -window, -windowNumber, -locationInWindow,
// -clickCount, -buttonNumber, -deltaX, -deltaY, -deltaZ, -scrollingDeltaX, -scrollingDeltaY,
// -hasPreciseScrollingDeltas, -keyCode, -characters, -charactersIgnoringModifiers, -isARepeat,
// -trackingArea, -userData; +modifierFlags, +pressedMouseButtons, +mouseLocation (screen, bottom-left),
// +doubleClickInterval; +addLocalMonitorForEventsMatchingMask:handler: and +removeMonitor:.
// Events reach views through -[NSWindow sendEvent:] (NSWindow.h).
// Lacks: global monitors, tablet and gesture events, event creation by the program
// (+mouseEventWithType:...), coalescing, -CGEvent.
// Deviations, each a Linux necessity:
// - Ctrl is the Command key and Alt the Option key (Command-Q is Ctrl+Q); the Super ("Windows") keys
//   are Control, as in the virtual key table (Carbon/VirtualKeyCodes.h).
// - Click counts are the platform's: every press counts on from the previous press of the same
//   button when it comes within GTK's double-click time and distance (GDK's 2BUTTON_PRESS events are
//   not used); a release carries the count of its press.
// - A monitor's handler is a std::function where the platform takes a block.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <Foundation/Foundation.h>

#include <cstdint>
#include <functional>

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;
typedef double NSTimeInterval;

typedef NSUInteger NSEventType;
enum : NSEventType {
    NSEventTypeLeftMouseDown = 1,
    NSEventTypeLeftMouseUp = 2,
    NSEventTypeRightMouseDown = 3,
    NSEventTypeRightMouseUp = 4,
    NSEventTypeMouseMoved = 5,
    NSEventTypeLeftMouseDragged = 6,
    NSEventTypeRightMouseDragged = 7,
    NSEventTypeMouseEntered = 8,
    NSEventTypeMouseExited = 9,
    NSEventTypeKeyDown = 10,
    NSEventTypeKeyUp = 11,
    NSEventTypeFlagsChanged = 12,
    NSEventTypeCursorUpdate = 17,
    NSEventTypeScrollWheel = 22,
    NSEventTypeOtherMouseDown = 25,
    NSEventTypeOtherMouseUp = 26,
    NSEventTypeOtherMouseDragged = 27,
};

// The mask bit of an event type is 1 << type.
typedef unsigned long long NSEventMask;
enum : NSEventMask {
    NSEventMaskLeftMouseDown = 1ULL << NSEventTypeLeftMouseDown,
    NSEventMaskLeftMouseUp = 1ULL << NSEventTypeLeftMouseUp,
    NSEventMaskRightMouseDown = 1ULL << NSEventTypeRightMouseDown,
    NSEventMaskRightMouseUp = 1ULL << NSEventTypeRightMouseUp,
    NSEventMaskMouseMoved = 1ULL << NSEventTypeMouseMoved,
    NSEventMaskLeftMouseDragged = 1ULL << NSEventTypeLeftMouseDragged,
    NSEventMaskRightMouseDragged = 1ULL << NSEventTypeRightMouseDragged,
    NSEventMaskMouseEntered = 1ULL << NSEventTypeMouseEntered,
    NSEventMaskMouseExited = 1ULL << NSEventTypeMouseExited,
    NSEventMaskKeyDown = 1ULL << NSEventTypeKeyDown,
    NSEventMaskKeyUp = 1ULL << NSEventTypeKeyUp,
    NSEventMaskFlagsChanged = 1ULL << NSEventTypeFlagsChanged,
    NSEventMaskCursorUpdate = 1ULL << NSEventTypeCursorUpdate,
    NSEventMaskScrollWheel = 1ULL << NSEventTypeScrollWheel,
    NSEventMaskOtherMouseDown = 1ULL << NSEventTypeOtherMouseDown,
    NSEventMaskOtherMouseUp = 1ULL << NSEventTypeOtherMouseUp,
    NSEventMaskOtherMouseDragged = 1ULL << NSEventTypeOtherMouseDragged,
    NSEventMaskAny = ~0ULL,
};

typedef NSUInteger NSEventModifierFlags;
enum : NSEventModifierFlags {
    NSEventModifierFlagCapsLock = 1 << 16,
    NSEventModifierFlagShift = 1 << 17,
    NSEventModifierFlagControl = 1 << 18,
    NSEventModifierFlagOption = 1 << 19,
    NSEventModifierFlagCommand = 1 << 20,
    NSEventModifierFlagNumericPad = 1 << 21,
    NSEventModifierFlagHelp = 1 << 22,
    NSEventModifierFlagFunction = 1 << 23,
    NSEventModifierFlagDeviceIndependentFlagsMask = 0xffff0000UL,
};

// The characters of the keys that have none: Unicode's private use area, as on the platform.
enum : unichar {
    NSUpArrowFunctionKey = 0xF700,
    NSDownArrowFunctionKey = 0xF701,
    NSLeftArrowFunctionKey = 0xF702,
    NSRightArrowFunctionKey = 0xF703,
    NSF1FunctionKey = 0xF704,  // F2 ... F35 follow: NSF1FunctionKey + n - 1
    NSF35FunctionKey = 0xF726,
    NSInsertFunctionKey = 0xF727,
    NSDeleteFunctionKey = 0xF728,
    NSHomeFunctionKey = 0xF729,
    NSBeginFunctionKey = 0xF72A,
    NSEndFunctionKey = 0xF72B,
    NSPageUpFunctionKey = 0xF72C,
    NSPageDownFunctionKey = 0xF72D,
    NSPrintScreenFunctionKey = 0xF72E,
    NSScrollLockFunctionKey = 0xF72F,
    NSPauseFunctionKey = 0xF730,
    NSSysReqFunctionKey = 0xF731,
    NSBreakFunctionKey = 0xF732,
    NSMenuFunctionKey = 0xF735,
    NSClearLineFunctionKey = 0xF739,
    NSHelpFunctionKey = 0xF746,
};

struct NSEvent : NSObject {};

// A local monitor's handler: answers the event to go on with (the same, another, or nil to swallow it).
typedef std::function<NSEvent*(NSEvent*)> NSEventMonitorHandler;
// +addLocalMonitorForEventsMatchingMask:handler: is sent as
// objc::msgSend<id, NSEventMask, NSEventMonitorHandler>(NSEventClass, sel, mask, handler) and answers
// the monitor (an object owned by the event system until +removeMonitor:).
