// Inside the AppKit stand-in: what its windowing classes (NSEvent, NSResponder, NSView, NSWindow,
// NSPanel, NSTrackingArea, NSTextInputContext, NSColor) share with one another. Outside the stand-in,
// these classes are found by name (objc_getClass) and reached by message sends.
#pragma once

#include "AppKit/NSColor.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSTextInputContext.h"
#include "AppKit/NSTrackingArea.h"
#include "AppKit/NSView.h"
#include "AppKit/standin/EventRecord.h"

#include <gtk/gtk.h>

namespace qvcompat::appkit {

Class NSEventClass();
Class NSResponderClass();
Class NSViewClass();
Class NSWindowClass();
Class NSPanelClass();
Class NSTrackingAreaClass();
Class NSTextInputContextClass();
Class NSColorClass();
// Makes all of the above (for the AppKit loader).
void loadWindowing();

// ---- Events ----------------------------------------------------------------------------------------

// A new event (one reference, the caller's) with the record's values, for `window` (not retained),
// made from `gdk` (copied; may be null) and, for entering, leaving and cursor updates, `trackingArea`.
NSEvent* newEvent(const tEventRecord& record, id window, const GdkEvent* gdk = nullptr, id trackingArea = nil);
const tEventRecord& eventRecord(NSEvent* event);
// The GDK event it was made from, or null.
const GdkEvent* eventGdk(NSEvent* event);

// Runs the local monitors that match the event's type, in the order they were added; answers what
// the last one answered (nil: swallowed). The caller owns one reference to `event` and to the answer
// (the same object or another).
NSEvent* runLocalMonitors(NSEvent* event);

// The modifier flags and mouse buttons the stand-in last saw (for +modifierFlags and
// +pressedMouseButtons without a display).
void noteInputState(const tEventRecord& record);

// ---- Views -----------------------------------------------------------------------------------------

// Sets the window of a view and of its subviews (nil when it leaves its window); not retained.
void setViewWindow(NSView* view, NSWindow* window);
// Paints the view tree into the GTK draw signal's context; `dirty` in content coordinates (top-left).
void drawViewTree(NSView* root, cairo_t* cr, const GdkRectangle& dirty, double contentHeight);
// The cairo context a view draws into while its -drawRect: runs (null otherwise): what the current
// NSGraphicsContext's graphics port is.
cairo_t* currentViewDrawing();
// Window coordinates of a point of the view and back.
NSPoint viewPointToWindow(NSView* view, NSPoint point);
NSPoint windowPointToView(NSView* view, NSPoint point);
// The types the view registered for drags (-registerForDraggedTypes:), an NSArray, or nil.
id viewDraggedTypes(NSView* view);
// Calls `visit` for each view of the tree, parents before children, hidden ones left out.
void forEachVisibleView(NSView* root, void (*visit)(NSView* view, void* context), void* context);
// The view's tracking areas, not retained (valid until the view changes them).
void viewTrackingAreas(NSView* view, id*& areas, size_t& count);
// The area's rectangle in its view's coordinates (its visible rectangle for NSTrackingInVisibleRect).
NSRect trackingAreaRectInView(id area, NSView* view);

// ---- Windows ---------------------------------------------------------------------------------------

// The window's content area (the GtkDrawingArea), or null without a display.
GtkWidget* windowContentArea(NSWindow* window);
// The content's height in pixels (window coordinates flip with it).
double windowContentHeight(NSWindow* window);
// Marks the content rectangle (content coordinates, top-left) for redrawing.
void invalidateWindowContent(NSWindow* window, const GdkRectangle& area);
// The window's input method (null without a display).
GtkIMContext* windowInputMethod(NSWindow* window);
// Hands a GDK event of the window to the event system: made into an NSEvent, shown to the local
// monitors, sent with -sendEvent:. Answers whether an event was sent.
bool dispatchGdkEvent(NSWindow* window, const GdkEvent* event);

// ---- Text input ------------------------------------------------------------------------------------

// Offers a key-down event to the window's input method and key bindings on behalf of `client`.
void interpretKeyEvent(id client, NSEvent* event);
// The selector name bound to a key (the table of NSTextInputContext.h), or null.
const char* keyBindingFor(unsigned short keyCode, char16_t character, NSEventModifierFlags flags);

}  // namespace qvcompat::appkit
