// Drags started by the program: -[NSView dragImage:at:offset:event:pasteboard:source:slideBack:]
// over gtk_drag_begin_with_coordinates from the view's content area (see NSDragging.h). The call
// runs a nested main loop until GTK ends the drag, then tells the source the operation.
#include "AppKit/standin/Dragging.h"
#include "AppKit/standin/Graphics.h"
#include "AppKit/standin/WindowState.h"
#include "Carbon/standin/PasteboardStore.h"

#include <CoreFoundation/CFRuntime.h>
#include <Foundation/Bridge.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace qvcompat::appkit {

namespace {

using carbon::PasteboardStore;

const objc::Selector s_window{"window"};
const objc::Selector s_name{"name"};
const objc::Selector s_size{"size"};
const objc::Selector s_locationInWindow{"locationInWindow"};
const objc::Selector s_respondsToSelector{"respondsToSelector:"};
const objc::Selector s_maskForLocal{"draggingSourceOperationMaskForLocal:"};
const objc::Selector s_ignoreModifierKeys{"ignoreModifierKeysWhileDragging"};
const objc::Selector s_endedAt{"draggedImage:endedAt:operation:"};

// The drag this process runs (one at a time: it holds the pointer).
struct tOutgoing {
    GdkDragContext* context = nullptr;
    std::shared_ptr<PasteboardStore> store;
    id source = nil;  // not retained; alive for the call
    GMainLoop* loop = nullptr;
    bool ended = false;
    bool failed = false;
};

tOutgoing* s_outgoing = nullptr;  // main thread only

void onDataGet(GtkWidget*, GdkDragContext* context, GtkSelectionData* selection, guint info, guint, gpointer)
{
    if (s_outgoing && s_outgoing->context == context)
        s_outgoing->store->provideData(selection, info);
}

gboolean onFailed(GtkWidget*, GdkDragContext* context, GtkDragResult, gpointer)
{
    if (s_outgoing && s_outgoing->context == context)
        s_outgoing->failed = true;
    return TRUE;  // no slide-back animation: the program never asks for one
}

void onEnd(GtkWidget*, GdkDragContext* context, gpointer)
{
    if (!s_outgoing || s_outgoing->context != context)
        return;
    s_outgoing->ended = true;
    g_main_loop_quit(s_outgoing->loop);
}

// GDK's mouse button of the event that starts the drag: the pressed one, or the one held while
// moving (the left one first).
guint buttonOf(const GdkEvent* event)
{
    if (!event)
        return 1;
    if (event->type == GDK_BUTTON_PRESS)
        return event->button.button;
    GdkModifierType state = GdkModifierType(0);
    gdk_event_get_state(event, &state);
    for (guint button = 1; button <= 5; ++button)
        if (state & (GDK_BUTTON1_MASK << (button - 1)))
            return button;
    return 1;
}

NSDragOperation operationOf(const tOutgoing& drag)
{
    if (drag.failed || !drag.context)
        return NSDragOperationNone;
    const GdkDragAction action = gdk_drag_context_get_selected_action(drag.context);
    // One action is chosen; ask is the generic operation.
    return operationsFromGdkActions(action);
}

// Where the pointer is, in the platform's screen coordinates.
NSPoint pointerOnScreen(GtkWidget* area)
{
    int x = 0, y = 0;
    if (GdkDisplay* display = gtk_widget_get_display(area))
        if (GdkSeat* seat = gdk_display_get_default_seat(display))
            gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
    return appKitRectFromRoot(x, y, 0, 0, primaryScreenBase()).origin;
}

// The image with the point that lies under the pointer (hot) as the device offset.
void setIcon(GdkDragContext* context, id image, id view, NSPoint at, id event)
{
    cairo_surface_t* surface = imageSurface(image);
    if (!surface)
        return;
    const NSSize size = objc::msgSend<NSSize>(image, s_size);
    // AppKit places the image's lower-left corner at `at` in the view, whether it is flipped or not.
    const NSPoint corner = viewPointToWindow(static_cast<NSView*>(view), at);
    const NSPoint pointer = event ? objc::msgSend<NSPoint>(event, s_locationInWindow) : corner;
    const double hotX = pointer.x - corner.x;
    const double hotY = corner.y + size.height - pointer.y;
    cairo_surface_set_device_offset(surface, -std::round(hotX), -std::round(hotY));
    gtk_drag_set_icon_surface(context, surface);
    cairo_surface_set_device_offset(surface, 0, 0);
}

void tellSource(id source, id image, NSPoint end, NSDragOperation operation)
{
    if (source && objc::msgSend<BOOL, SEL>(source, s_respondsToSelector, s_endedAt))
        objc::msgSend<void, id, NSPoint, NSDragOperation>(source, s_endedAt, image, end, operation);
}

// The release that ended the drag went to GTK's drag, not to the window: its mouse is up.
void releaseWindowMouse(id window)
{
    tWindow& state = WindowState::of(window);
    state.buttonsDown = 0;
    objc_release(std::exchange(state.mouseDownView, nil));
}

}  // namespace

void viewDragImage(id self, SEL, id image, NSPoint at, NSSize, id event, id pasteboard, id source, BOOL)
{
    id window = objc::msgSend<id>(self, s_window);
    GtkWidget* area = window ? windowContentArea(static_cast<NSWindow*>(window)) : nullptr;
    id name = pasteboard ? objc::msgSend<id>(pasteboard, s_name) : nil;
    const NSDragOperation mask = source && objc::msgSend<BOOL, SEL>(source, s_respondsToSelector, s_maskForLocal)
                                     ? objc::msgSend<NSDragOperation, BOOL>(source, s_maskForLocal, NO)
                                     : NSDragOperationNone;
    const GdkDragAction actions = gdkActionsFromOperations(mask);
    if (!area || !name || !actions || s_outgoing) {
        tellSource(source, image, NSPoint{}, NSDragOperationNone);
        return;
    }
    // Asked as the platform does; GTK lets the modifiers choose among several actions either way.
    if (objc::msgSend<BOOL, SEL>(source, s_respondsToSelector, s_ignoreModifierKeys))
        objc::msgSend<BOOL>(source, s_ignoreModifierKeys);

    tOutgoing drag;
    drag.store = PasteboardStore::named(cf::stringUTF8(foundation::asCF<CFStringRef>(static_cast<NSString*>(name))));
    drag.source = source;
    drag.loop = g_main_loop_new(nullptr, FALSE);
    id keepImage = objc_retain(image);
    id keepWindow = objc_retain(window);
    g_object_ref(area);
    const gulong handlers[] = {
        g_signal_connect(area, "drag-data-get", G_CALLBACK(onDataGet), nullptr),
        g_signal_connect(area, "drag-failed", G_CALLBACK(onFailed), nullptr),
        g_signal_connect(area, "drag-end", G_CALLBACK(onEnd), nullptr),
    };
    GtkTargetList* targets = drag.store->offerTargets();
    s_outgoing = &drag;
    GdkEvent* trigger = event ? gdk_event_copy(eventGdk(static_cast<NSEvent*>(event))) : nullptr;
    drag.context = gtk_drag_begin_with_coordinates(area, targets, actions, gint(buttonOf(trigger)), trigger, -1, -1);
    if (drag.context) {
        g_object_ref(drag.context);
        setIcon(drag.context, image, self, at, event);
        if (!drag.ended)
            g_main_loop_run(drag.loop);
    }
    s_outgoing = nullptr;
    const NSDragOperation operation = operationOf(drag);
    if (trigger)
        gdk_event_free(trigger);
    gtk_target_list_unref(targets);
    for (gulong handler : handlers)
        g_signal_handler_disconnect(area, handler);
    releaseWindowMouse(window);
    tellSource(source, image, pointerOnScreen(area), operation);
    g_object_unref(area);
    if (drag.context)
        g_object_unref(drag.context);
    g_main_loop_unref(drag.loop);
    objc_release(keepWindow);
    objc_release(keepImage);
}

bool outgoingDrag(GdkDragContext* context, std::string& pasteboardName, id& source)
{
    // The destination's context is not the source's: GTK knows a drag of this process by its source.
    if (!s_outgoing || !s_outgoing->context || !gtk_drag_get_source_widget(context))
        return false;
    pasteboardName = s_outgoing->store->name();
    source = s_outgoing->source;
    return true;
}

}  // namespace qvcompat::appkit
