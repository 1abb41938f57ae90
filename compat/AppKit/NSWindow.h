// AppKit stand-in: NSWindow over a GtkWindow (X11).
//
// The GtkWindow holds a vertical GtkBox: the menu bar (when the application has a main menu) and the
// content view's GtkDrawingArea of exactly the content size. Geometry is AppKit's: screen
// coordinates have their origin at the bottom-left of the primary monitor and grow upwards; window
// coordinates have theirs at the bottom-left of the content area. The frame is the content rectangle
// plus the window manager's frame extents (read once the window is mapped, the last ones seen for a
// window of the same decoration before) plus the menu bar.
//
// Implements:
// - Life: -initWithContentRect:styleMask:backing:defer:, -close (sends -windowWillClose: to the
//   delegate and posts NSWindowWillCloseNotification, hides the window and, when released-when-closed,
//   releases it), -performClose: (asks -windowShouldClose: first), -setReleasedWhenClosed:,
//   -isReleasedWhenClosed. The close button (delete-event) is -performClose:.
// - Content: -contentView, -setContentView:, -firstResponder, -makeFirstResponder:,
//   -initialFirstResponder, -setInitialFirstResponder:, -delegate, -setDelegate: (not retained),
//   -title, -setTitle:, -setOpaque:, -isOpaque, -setBackgroundColor: (NSColor.h), -setDocumentEdited:,
//   -isDocumentEdited, -windowNumber (the X window id once realised, else a number of its own).
// - Geometry: -frame, -setFrame:display:, -setFrameOrigin:, -setFrameTopLeftPoint:, -setContentSize:,
//   -contentRectForFrameRect:, -frameRectForContentRect:, -convertRectToScreen:,
//   -convertRectFromScreen:, -convertPointToScreen:, -convertPointFromScreen:, -mouseLocationOutsideOfEventStream.
// - Style: -styleMask, -setStyleMask:, -level, -setLevel:, -collectionBehavior,
//   -setCollectionBehavior:, -contentMinSize, -setContentMinSize:, -contentMaxSize,
//   -setContentMaxSize:.
// - Ordering and state: -orderFront:, -orderOut:, -makeKeyAndOrderFront:, -makeKeyWindow,
//   -makeMainWindow, -isVisible, -isKeyWindow, -isMainWindow, -canBecomeKeyWindow (YES),
//   -canBecomeMainWindow (YES), -miniaturize:, -performMiniaturize:, -deminiaturize:, -isMiniaturized,
//   -zoom: (maximise or restore), -performZoom:, -isZoomed, -toggleFullScreen:, -displayIfNeeded,
//   -display.
// - Events: -sendEvent: sends mouse events to the view under the pointer (-hitTest:) or, while a
//   button is held, to the view that got the press; scroll events to the view under the pointer; key
//   events to the first responder (keys with Command held are offered to -performKeyEquivalent: of
//   the view tree first; -keyDown: follows only when no view answered YES and the first responder did
//   not see the key in its own -performKeyEquivalent:); entering, leaving, moves and cursor updates to
//   the owners of the tracking areas. Local event monitors (NSEvent.h) see each event first.
// - Delegate messages, sent when the delegate responds: windowShouldClose:, windowWillClose:,
//   windowDidBecomeKey:, windowDidResignKey:, windowDidBecomeMain:, windowDidResignMain:,
//   windowDidMove:, windowDidResize:, windowDidMiniaturize:, windowDidDeminiaturize:,
//   windowWillResize:toSize: (NSSize by value, answers NSSize).
// Lacks: sheets, child windows, tabs, toolbars, -setFrameAutosaveName:, animations, -cascadeTopLeftFromPoint:.
// Deviations, each a Linux necessity:
// - Levels: a level above NSNormalWindowLevel keeps the window above others; the window manager
//   decides the order among such windows (X has no numbered levels).
// - Key and main follow the X input focus: the focused window is key and, when it can become main,
//   main; a window that cannot become main leaves the main window as it was.
// - -windowWillResize:toSize: cannot veto a size synchronously (the window manager resizes): it gives
//   the size limits (asked with a tiny and a huge size) as geometry hints, and a size it would change
//   is corrected right after it arrived.
// - Placement needs the X11 back end (GDK_BACKEND=x11); under Wayland a window is placed by the
//   compositor. Without a window manager (Xvfb) there are no frame extents.
#pragma once

#include "AppKit/NSResponder.h"

typedef NSUInteger NSWindowStyleMask;
enum : NSWindowStyleMask {
    NSWindowStyleMaskBorderless = 0,
    NSWindowStyleMaskTitled = 1 << 0,
    NSWindowStyleMaskClosable = 1 << 1,
    NSWindowStyleMaskMiniaturizable = 1 << 2,
    NSWindowStyleMaskResizable = 1 << 3,
    NSWindowStyleMaskUtilityWindow = 1 << 4,
    NSWindowStyleMaskNonactivatingPanel = 1 << 7,
    NSWindowStyleMaskFullScreen = 1 << 14,
};

typedef NSUInteger NSBackingStoreType;
enum : NSBackingStoreType {
    NSBackingStoreRetained = 0,
    NSBackingStoreNonretained = 1,
    NSBackingStoreBuffered = 2,
};

typedef NSInteger NSWindowLevel;
enum : NSWindowLevel {
    NSNormalWindowLevel = 0,
    NSFloatingWindowLevel = 3,
    NSModalPanelWindowLevel = 8,
    NSPopUpMenuWindowLevel = 101,
    NSScreenSaverWindowLevel = 1000,
};

typedef NSUInteger NSWindowCollectionBehavior;
enum : NSWindowCollectionBehavior {
    NSWindowCollectionBehaviorDefault = 0,
    NSWindowCollectionBehaviorFullScreenPrimary = 1 << 7,
    NSWindowCollectionBehaviorFullScreenAuxiliary = 1 << 8,
};

extern const NSNotificationName NSWindowWillCloseNotification;
extern const NSNotificationName NSWindowDidBecomeKeyNotification;
extern const NSNotificationName NSWindowDidResignKeyNotification;
extern const NSNotificationName NSWindowDidBecomeMainNotification;
extern const NSNotificationName NSWindowDidResignMainNotification;
extern const NSNotificationName NSWindowDidMoveNotification;
extern const NSNotificationName NSWindowDidResizeNotification;
extern const NSNotificationName NSWindowDidMiniaturizeNotification;
extern const NSNotificationName NSWindowDidDeminiaturizeNotification;

struct NSWindow : NSResponder {};
