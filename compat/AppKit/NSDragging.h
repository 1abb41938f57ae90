// AppKit stand-in: drag and drop over GTK 3's (X11's XDND protocol), on each window's content area.
//
// Implements:
//   - NSDragOperation values; the pasteboard types NSStringPboardType and NSFilenamesPboardType (and
//     the uniform type identifiers behind them) for -registerForDraggedTypes:.
//   - Destination: a window whose content view (or a subview) registered dragged types accepts a
//     drag that offers one of them; the view receives -draggingEntered:, -draggingUpdated: (at
//     every motion), -draggingExited: and -performDragOperation: with an NSDraggingInfo object:
//     -draggingLocation (window coordinates, bottom-left origin), -draggingSourceOperationMask,
//     -draggingPasteboard, -draggingSource (the source view for a drag of this process, else nil),
//     -draggingSequenceNumber. A drag of this process reads its own pasteboard (the same store);
//     another program's drag is read once, when it enters, into a pasteboard of its own: text
//     (UTF8_STRING, text/plain...) as public.utf8-plain-text and public.utf16-plain-text, a
//     text/uri-list as one item per URI (file: URIs as public.file-url, others as public.url).
//   - Source: -[NSView dragImage:at:offset:event:pasteboard:source:slideBack:] starts a GTK drag
//     from the view's window with the pasteboard's flavours as targets (text as GTK's text targets,
//     URLs as text/uri-list, a sender-only flavour as a target of its own name limited to this
//     process, GTK_TARGET_SAME_APP); it asks the source -draggingSourceOperationMaskForLocal: for the
//     actions, shows the image with the pointer where the image's position puts it, runs a nested
//     main loop until the drag ends and sends the source -draggedImage:endedAt:operation: with the
//     operation the destination chose (none for a cancelled or refused drag) before it returns.
//     The window's mouse is up afterwards (the release went to the drag).
// Lacks: drag promises, the slide-back animation, flocking, spring-loading, dragging formations,
//   NSDraggingSession and the NSDraggingItem API, -prepareForDragOperation: and
//   -concludeDragOperation:, other pasteboard types from other programs, the image offset (ignored,
//   as on the platform).
// Deviations: X has no "generic", "private" or "delete" action: generic and private are offered as
//   copy, a destination's answer of generic or private is taken as copy, and another program's
//   "ask" comes back as generic. -ignoreModifierKeysWhileDragging is asked but GTK lets the
//   modifiers choose among several offered actions whatever it answers. Another program's data is
//   read when its drag enters, not when the destination asks (XDND hands data over
//   asynchronously, AppKit's destinations read it synchronously); until it is there the drag is
//   answered with no operation. A drag started from this process runs inside the call that starts
//   it, as on the platform, and one at a time. Main thread only.
#pragma once

#include <Foundation/Foundation.h>
#include <Foundation/NSGeometry.h>

typedef NSUInteger NSDragOperation;
enum : NSDragOperation {
    NSDragOperationNone = 0,
    NSDragOperationCopy = 1,
    NSDragOperationLink = 2,
    NSDragOperationGeneric = 4,
    NSDragOperationPrivate = 8,
    NSDragOperationMove = 16,
    NSDragOperationDelete = 32,
    NSDragOperationEvery = ~NSUInteger(0),
};

// Pasteboard types for -registerForDraggedTypes:.
extern NSString* const NSStringPboardType;
extern NSString* const NSFilenamesPboardType;
