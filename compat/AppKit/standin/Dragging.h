// Inside the AppKit stand-in: drag and drop over GTK (NSDragging.h), shared by the window's GTK
// glue (WindowGtk.cpp), NSView (NSView.cpp) and the two sides of a drag.
#pragma once

#include "AppKit/NSDragging.h"

#include <gtk/gtk.h>

#include <string>

namespace qvcompat::appkit {

// ---- Destination (DragDestinationGtk.cpp) ----------------------------------------------------------

// Makes the window's content area a drop site whose drags reach the window's views.
void connectDragDestination(GtkWidget* area, id window);
// The window goes: a drag over it ends without a message.
void forgetDragDestination(id window);

// ---- Source (DragSourceGtk.cpp) ---------------------------------------------------------------------

// -[NSView dragImage:at:offset:event:pasteboard:source:slideBack:].
void viewDragImage(id self, SEL, id image, NSPoint at, NSSize offset, id event, id pasteboard, id source,
                   BOOL slideBack);
// Whether `context` is the drag this process runs; then its pasteboard's name and source object.
bool outgoingDrag(GdkDragContext* context, std::string& pasteboardName, id& source);

// ---- The dragging-info object (NSDragging.cpp) -------------------------------------------------------

// A new NSDraggingInfo (one reference, the caller's); `pasteboard` is retained, `source` is not.
id newDraggingInfo(NSPoint location, NSDragOperation sourceMask, id pasteboard, id source, NSInteger sequence);

// GTK's actions and the platform's operations: generic and private go as copy; GTK's ask comes back
// as generic.
GdkDragAction gdkActionsFromOperations(NSDragOperation operations);
NSDragOperation operationsFromGdkActions(GdkDragAction actions);

}  // namespace qvcompat::appkit
